// The start-up sequence: its order, its two failure regimes, and what the cards show after it.
#include "fakes.h"
#include "startup.h"

#include <gtest/gtest.h>

using namespace catalogue;
using fakes::record;

namespace {
// A window that claims one card more than it has, so the last fill fails.
struct WindowWithAMissingCard : reel::HeadlessWindow {
    int cardCount() const override { return 5; }
};

int startUpError(const fakes::TempFolder &folder, reel::ReelWindow &window)
{
    auto prizes = std::make_unique<Catalogue>();
    fakes::FakePictureLoader pictures;
    fakes::ScriptedRandom random({0.5f});
    try {
        reel::startUp(folder.path(), *prizes, pictures, random, window);
    } catch (const RuntimeError &e) {
        return e.number();
    }
    return 0;
}
} // namespace

TEST(StartUp, SeedsOnceThenFillsCardsZeroToThreeWithOneDrawEach)
{
    fakes::TempFolder folder;
    folder.writeDataIni(record("50", "255", "Cup", "1") + record("50", "65280", "Pen", "2"));
    folder.addPicture("Pen");
    auto prizes = std::make_unique<Catalogue>();
    fakes::FakePictureLoader pictures;
    fakes::ScriptedRandom random({0.1f, 0.6f, 0.7f, 0.2f}, true);
    fakes::RecordingWindow window;

    reel::startUp(folder.path(), *prizes, pictures, random, window);

    EXPECT_EQ(random.takenAtSeeding, std::vector<std::size_t>{0}) << "seeded once, before the first draw";
    EXPECT_EQ(random.taken, 4u);
    EXPECT_EQ(prizes->prizeCount, 2);
    std::vector<std::string> names;
    for (const auto &entry : window.log)
        if (entry.find(":name ") != std::string::npos && entry.find("Cup") == std::string::npos)
            names.push_back(entry);
    EXPECT_EQ(names, (std::vector<std::string>{"1:name Pen", "2:name Pen"}));
    EXPECT_EQ(window.log.front().substr(0, 2), "0:");
    EXPECT_EQ(window.log.back(), "3:picture none"); // card 3 drew Cup, which has no picture
    EXPECT_TRUE(window.log.size() > 0 && std::is_sorted(window.log.begin(), window.log.end(),
                                                        [](const auto &a, const auto &b) { return a[0] < b[0]; }));
}

TEST(StartUp, AMissingOrTooShortListEndsStartUpBeforeAnyCardIsFilled)
{
    fakes::TempFolder missing, shortList;
    shortList.writeDataIni("100\r\n255\r\nCup\r\n");
    fakes::RecordingWindow window;
    EXPECT_EQ(startUpError(missing, window), 53);
    EXPECT_EQ(startUpError(shortList, window), 62);
    EXPECT_TRUE(window.log.empty());
}

TEST(StartUp, AfterTheFirstWholeRecordAFailingCardFillIsSkipped)
{
    fakes::TempFolder folder;
    folder.writeDataIni(record("100", "255", "Cup", "1") + "7\r\n"); // and a record cut short
    WindowWithAMissingCard window;
    EXPECT_EQ(startUpError(folder, window), 0);
    EXPECT_EQ(window.card(3).name, "Cup");
}

TEST(StartUp, AnEmptyListStillFillsEveryCardButSkipsNothing)
{
    fakes::TempFolder folder;
    folder.writeDataIni("");
    reel::HeadlessWindow window;
    EXPECT_EQ(startUpError(folder, window), 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(window.card(i).fillColor, 0);
        EXPECT_EQ(window.card(i).name, "");
        EXPECT_EQ(window.card(i).picture, nullptr);
    }
    WindowWithAMissingCard tooMany;
    EXPECT_EQ(startUpError(folder, tooMany), 9); // no record was read whole, so nothing is skipped
}
