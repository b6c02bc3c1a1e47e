// A thousand whole spins of the real window in one process, with ticks driven
// directly instead of waiting 5 ms each.
#include "form1.h"
#include "window_fixtures.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

using window::Form1;

namespace {
// Resident memory in bytes, from /proc.
long residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// One tick, as the timer delivers it.
void tick(Form1 &form) { QMetaObject::invokeMethod(&form.Timer1(), "timeout", Qt::DirectConnection); }

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true; // the sanitizer's quarantine holds freed memory on purpose
#else
constexpr bool kSanitized = false;
#endif
} // namespace

TEST(Soak, AThousandSpinsKeepTheReelWholeAndMemoryFlat)
{
    windowtests::FourPrizes list;
    Form1 form(list.folder.path(), std::make_unique<reel::Mt19937Source>(99));
    form.show();
    ASSERT_TRUE(form.loaded());

    constexpr int kSpins = 1000;
    const float width = reel::design::kCardWidthTwips;
    long residentAfter10 = 0;
    for (int spin = 1; spin <= kSpins; ++spin) {
        QTest::mouseClick(&form.Command1(), Qt::LeftButton);
        ASSERT_TRUE(form.Timer1().isActive());
        int ticks = 0;
        while (form.Timer1().isActive()) {
            tick(form);
            ASSERT_LE(++ticks, 667) << "spin " << spin;
        }
        ASSERT_GE(ticks, 418) << "spin " << spin;
        QApplication::processEvents(); // let the window paint where the reel stopped

        ASSERT_EQ(form.cardCount(), 4);
        ASSERT_TRUE(form.Command1().isEnabled());
        ASSERT_EQ(form.spin().speed(), 0);
        // Card 0 follows card 3 with a gap of the last wrap's step; the
        // others follow their predecessor with 120. No card ever overlaps.
        for (int i = 0; i < 4; ++i) {
            const int predecessor = (i + 3) % 4;
            const float gap = std::fabs(form.left(i) - form.left(predecessor)) - width;
            ASSERT_GE(gap, 0) << "card " << i << " overlaps card " << predecessor << " after spin " << spin;
            ASSERT_EQ(form.awardbox(i).x(), qRound(form.left(i) / 15.0)) << "spin " << spin;
        }
        if (spin == 10)
            residentAfter10 = residentBytes();
    }
    const long growth = residentBytes() - residentAfter10;
    RecordProperty("resident_growth_bytes", std::to_string(growth));
    if (!kSanitized) {
        EXPECT_LE(growth, 1 << 20) << "resident memory grew by " << growth << " bytes from spin 10 to spin 1000";
    }
}
