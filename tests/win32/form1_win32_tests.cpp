// The Windows front end under wine: where every control lands at 96 and 144
// dpi, a card's fields on screen, the button, the timer and the focus, whole
// spins, errors to the report, and the real program's window.
#include "fakes.h"
#include "form1.h"
#include "gdi_text_measure.h"
#include "runtime_error.h"
#include "startup.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>

using window::design::ControlId;
using window::design::PixelRect;
using window::win32::Form1;

namespace {

constexpr float kLargestU = 0x1.fffffep-1f;
constexpr std::int32_t kYellow = 0x00FFFF; // red + 256 * green
constexpr std::int32_t kGreenFace = 0x00C000;
constexpr std::int32_t kStrip = 0xC0FFEE; // a light colour no picture or text pixel has

struct Reported {
    int number = 0;
    std::string text;
    int count = 0;
};

// A Mersenne Twister that the load cannot reseed from the clock.
struct FixedSeed : reel::Mt19937Source {
    explicit FixedSeed(std::uint32_t seed) : Mt19937Source(seed) {}
    void randomize() override {}
};

// Numbers from a script; throws a run-time error once `failAt` have been taken.
struct FailingRandom : reel::RandomSource {
    explicit FailingRandom(std::size_t failAt) : failAt(failAt) {}
    void randomize() override {}
    float next() override
    {
        if (taken++ == failAt)
            throw catalogue::RuntimeError(catalogue::ErrorCode::Overflow);
        return 0.5f;
    }
    std::size_t failAt;
    std::size_t taken = 0;
};

// The first record of the bundled list (a GBK name with a real JPEG), alone
// with weight 100, so that every card shows it.
void writeOnePrize(const fakes::TempFolder &folder)
{
    std::ifstream in(std::filesystem::path(SAMPLE_DIR) / "data.ini", std::ios::binary);
    std::string name;
    std::getline(in, name); // weight
    std::getline(in, name); // colour
    std::getline(in, name);
    name.pop_back(); // the CR
    folder.writeDataIni(fakes::record("100", std::to_string(kStrip), name, "77"));
    const std::filesystem::path picture = std::filesystem::path("picture") / u8"荧光棒.jpg";
    std::ifstream jpeg(std::filesystem::path(SAMPLE_DIR) / picture, std::ios::binary);
    folder.write(picture, std::string(std::istreambuf_iterator<char>(jpeg), {}));
}

class Win32Form : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

    std::unique_ptr<Form1> makeForm(std::unique_ptr<reel::RandomSource> random, int dpi = 96, int threads = 1)
    {
        return std::make_unique<Form1>(
            folder.path(), std::move(random),
            [this](int number, const std::string &text) {
                reported.number = number;
                reported.text = text;
                ++reported.count;
            },
            threads, dpi);
    }

    // Runs the message loop until the reel stops (or a report ends it).
    static void pumpUntilStopped(const Form1 &form)
    {
        MSG message;
        while (form.timerEnabled() && GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
    }

    static void key(Form1 &form, WPARAM key)
    {
        SendMessageW(form.handle(), WM_KEYDOWN, key, 0);
        SendMessageW(form.handle(), WM_KEYUP, key, 0);
    }

    // Five Tabs from the viewing area reach the button; Enter presses it.
    static void pressButtonByKeys(Form1 &form)
    {
        for (int tab = 0; tab < 5; ++tab)
            key(form, VK_TAB);
        key(form, VK_RETURN);
    }

    fakes::TempFolder folder;
    Reported reported;
};

PixelRect pixelsOf(const char *name, int index, int dpi)
{
    return window::design::toPixels(window::design::control(name, index).rect, dpi);
}

// The colour fills r exactly: its four corner pixels have it, and so do none
// of the pixels just outside its four edges.
void expectFilled(const Form1 &form, PixelRect r, std::int32_t color, const char *what)
{
    SCOPED_TRACE(what);
    EXPECT_EQ(form.pixel(r.left, r.top), color);
    EXPECT_EQ(form.pixel(r.right() - 1, r.top), color);
    EXPECT_EQ(form.pixel(r.left, r.bottom() - 1), color);
    EXPECT_EQ(form.pixel(r.right() - 1, r.bottom() - 1), color);
    const int midX = r.left + r.width / 2;
    const int midY = r.top + r.height / 2;
    if (r.left > 0) {
        EXPECT_NE(form.pixel(r.left - 1, midY), color);
    }
    EXPECT_NE(form.pixel(r.right(), midY), color);
    EXPECT_NE(form.pixel(midX, r.top - 1), color);
    EXPECT_NE(form.pixel(midX, r.bottom()), color);
}

class Win32FormAtDpi : public Win32Form, public ::testing::WithParamInterface<int> {};

TEST_P(Win32FormAtDpi, EveryControlIsDrawnWhereTheDesignPutsIt)
{
    const int dpi = GetParam();
    writeOnePrize(folder);
    auto form = makeForm(std::make_unique<FixedSeed>(1), dpi);
    ASSERT_TRUE(form->show());

    RECT client;
    GetClientRect(form->handle(), &client);
    const PixelRect designed = window::design::toPixels(window::design::form().rect, dpi);
    EXPECT_EQ(client.right, designed.width);
    EXPECT_EQ(client.bottom, designed.height);
    if (dpi == 96) {
        EXPECT_EQ(client.right, 539);
        EXPECT_EQ(client.bottom, 407);
    }
    const LONG style = GetWindowLongW(form->handle(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(style & WS_SYSMENU);

    form->render();
    expectFilled(*form, pixelsOf("Picture2", -1, dpi), kYellow, "the marker bar");
    // The button's face inside its two-band frame.
    const PixelRect button = pixelsOf("Command1", -1, dpi);
    const int edge = window::design::borderPixels(window::design::Border::Thin, dpi);
    EXPECT_EQ(form->pixel(button.left + edge, button.top + edge), kGreenFace);
    EXPECT_EQ(form->pixel(button.right() - 1 - edge, button.bottom() - 1 - edge), kGreenFace);
    EXPECT_NE(form->pixel(button.left + edge - 1, button.top + edge), kGreenFace);
    EXPECT_NE(form->pixel(button.right() - edge, button.bottom() - 1 - edge), kGreenFace);
    EXPECT_EQ(form->pixel(button.left - 1, button.top), 0x404040);

    // The rules run along their whole visible length, beside the grey.
    const int top = window::design::toPixels(1200, dpi);
    const int bottom = window::design::toPixels(3960, dpi);
    for (int x : {0, 100, designed.width - 1}) {
        EXPECT_EQ(form->pixel(x, top), 0) << x;
        EXPECT_EQ(form->pixel(x, bottom), 0) << x;
        EXPECT_EQ(form->pixel(x, bottom + 1), 0x404040) << x;
    }
    // The triangle's top edge.
    EXPECT_EQ(form->pixel(window::design::toPixels(3960, dpi), window::design::toPixels(960, dpi)), 0);
    EXPECT_EQ(form->pixel(window::design::toPixels(4200, dpi), window::design::toPixels(960, dpi)), 0);

    // Card 1 whole in the viewing area; its strip inside its border, in the
    // prize's colour, cut at the card's inner right and bottom edges.
    const PixelRect view = pixelsOf("Picture1", -1, dpi);
    const PixelRect card = window::design::toWindowPixels(window::design::control("awardbox", 1), dpi);
    PixelRect strip = window::design::toWindowPixels(window::design::control("colorbox", 1), dpi);
    strip.width = card.right() - edge - strip.left;
    strip.height = card.bottom() - edge - strip.top;
    // The picture covers the strip's top edge.
    const int covered = pixelsOf("awardpic", 1, dpi).bottom() - pixelsOf("colorbox", 1, dpi).top;
    ASSERT_LE(covered, strip.height);
    ASSERT_GT(covered, 0);
    expectFilled(*form, {strip.left, strip.top + covered, strip.width, strip.height - covered}, kStrip, "strip");
    // Cards are cut at the viewing area's left edge and the window's right edge.
    EXPECT_NE(form->pixel(0, view.top + card.height / 2), 0x404040);
    EXPECT_NE(form->pixel(designed.width - 1, view.top + card.height / 2), 0x404040);
}

INSTANTIATE_TEST_SUITE_P(Dpi, Win32FormAtDpi, ::testing::Values(96, 144));

TEST_F(Win32Form, ACardsFieldsReachTheScreen)
{
    writeOnePrize(folder);
    auto form = makeForm(std::make_unique<FixedSeed>(1));
    ASSERT_TRUE(form->show());
    form->render();

    const PixelRect view = pixelsOf("Picture1", -1, 96);
    const int cardLeft = pixelsOf("awardbox", 1, 96).left + 2;
    const int cardTop = view.top + 2;
    const auto textPixelsIn = [&](PixelRect label) {
        int text = 0;
        for (int y = label.top; y < label.bottom(); ++y)
            for (int x = label.left; x < label.right(); ++x)
                text += form->pixel(cardLeft + x, cardTop + y) != kStrip ? 1 : 0;
        return text;
    };
    EXPECT_GT(textPixelsIn(pixelsOf("awardname", 1, 96)), 40) << "the name over the strip";
    EXPECT_GT(textPixelsIn(pixelsOf("award", 1, 96)), 20) << "the amount";
    EXPECT_EQ(textPixelsIn({100, 120, 40, 40}), 0) << "the strip beside the labels";

    // The picture covers its box: no pixel of the card's background shows there.
    const PixelRect picture = pixelsOf("awardpic", 1, 96);
    const std::int32_t face = form->pixel(cardLeft + picture.width / 2, cardTop + picture.height + 1);
    int background = 0;
    for (int y = 0; y < picture.height; y += 7)
        for (int x = 0; x < picture.width; x += 7)
            background += form->pixel(cardLeft + x, cardTop + y) == face ? 1 : 0;
    EXPECT_LT(background, 10);
}

// A picture is checked only when a card needs it, and the card still shows it,
// or nothing for a file cut short or missing.
TEST_F(Win32Form, ACardShowsItsPictureAndNoneForAFileCutShortOrMissing)
{
    writeOnePrize(folder);
    const std::filesystem::path picture = folder.path() / catalogue::utf8Path("picture/荧光棒.jpg");
    const auto coloursInPicture = [&] {
        auto form = makeForm(std::make_unique<FixedSeed>(1));
        EXPECT_TRUE(form->show());
        form->render();
        const PixelRect box = pixelsOf("awardpic", 1, 96);
        const int cardLeft = pixelsOf("awardbox", 1, 96).left + 2;
        const int cardTop = pixelsOf("Picture1", -1, 96).top + 2;
        std::set<std::int32_t> colours;
        for (int y = 0; y < box.height - 2; y += 7)
            for (int x = 0; x < box.width; x += 7)
                colours.insert(form->pixel(cardLeft + x, cardTop + y));
        return colours.size();
    };
    EXPECT_GT(coloursInPicture(), 10u) << "the photo";

    std::ifstream in(picture, std::ios::binary);
    const std::string jpeg(std::istreambuf_iterator<char>(in), {});
    in.close();
    std::ofstream(picture, std::ios::binary | std::ios::trunc) << jpeg.substr(0, jpeg.size() * 2 / 3);
    // No picture: the card's background, and the marker that crosses card 1.
    EXPECT_LE(coloursInPicture(), 2u) << "cut short";

    std::filesystem::remove(picture);
    EXPECT_LE(coloursInPicture(), 2u) << "missing";
}

TEST_F(Win32Form, FocusStartsOnTheViewingAreaAndTheButtonTakesKeysOnlyWhenFocusedAndEnabled)
{
    writeOnePrize(folder);
    auto form = makeForm(std::make_unique<FixedSeed>(1));
    ASSERT_TRUE(form->show());
    EXPECT_EQ(form->focus(), (ControlId{"Picture1"}));
    EXPECT_TRUE(form->buttonEnabled());
    EXPECT_FALSE(form->timerEnabled());

    for (int tab = 0; tab < 4; ++tab) {
        key(*form, VK_TAB);
        key(*form, VK_RETURN);
        key(*form, VK_SPACE);
        EXPECT_FALSE(form->timerEnabled()) << "after " << tab + 1 << " tabs";
    }
    EXPECT_EQ(form->focus(), (ControlId{"awardbox", 3}));
    key(*form, VK_TAB);
    EXPECT_EQ(form->focus(), (ControlId{"Command1"}));
    key(*form, VK_RETURN);
    EXPECT_TRUE(form->timerEnabled());
    EXPECT_FALSE(form->buttonEnabled());
    EXPECT_NE(form->focus(), (ControlId{"Command1"})) << "a greyed button holds no focus";

    // No tick has run yet (none was taken from the queue): the greyed
    // button ignores a click, which would set the speed back to 4000.
    const PixelRect button = pixelsOf("Command1", -1, 96);
    const LPARAM at = MAKELPARAM(button.left + 10, button.top + 10);
    MSG message;
    while (form->spin().speed() == 4000 && GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    const auto speed = form->spin().speed();
    SendMessageW(form->handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(form->handle(), WM_LBUTTONUP, 0, at);
    key(*form, VK_SPACE);
    EXPECT_EQ(form->spin().speed(), speed);

    pumpUntilStopped(*form);
    EXPECT_TRUE(form->buttonEnabled());
    EXPECT_FALSE(form->timerEnabled());
    // A click on the enabled button starts the next spin.
    SendMessageW(form->handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(form->handle(), WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(form->timerEnabled());
    EXPECT_EQ(form->focus(), (ControlId{"Picture2"})) << "the click's focus moved on when the button greyed";
    pumpUntilStopped(*form);
}

TEST_F(Win32Form, F11FillsTheMonitorWithTheDesignScaledAndCentredAndEscapeGivesBackTheWindow)
{
    writeOnePrize(folder);
    auto form = makeForm(std::make_unique<FixedSeed>(3));
    ASSERT_TRUE(form->show());
    key(*form, VK_F11);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(form->handle(), MONITOR_DEFAULTTONEAREST), &monitor));
    const int width = monitor.rcMonitor.right - monitor.rcMonitor.left;
    const int height = monitor.rcMonitor.bottom - monitor.rcMonitor.top;
    RECT client;
    GetClientRect(form->handle(), &client);
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height);
    const window::design::ScreenFit fit = window::design::fitToScreen(width, height);
    EXPECT_DOUBLE_EQ(form->dpi(), fit.dpi);
    EXPECT_EQ(form->origin().x, fit.left);
    EXPECT_EQ(form->origin().y, fit.top);

    form->render();
    const auto centre = [&](window::design::Role role) {
        const PixelRect r = window::design::toWindowPixels(window::design::control(role), fit.dpi);
        return form->pixel(fit.left + r.left + r.width / 2, fit.top + r.top + r.height / 2);
    };
    EXPECT_EQ(centre(window::design::Role::StartButton), kGreenFace);
    EXPECT_EQ(centre(window::design::Role::Marker), kYellow);
    // Past the designed client area only the window's background shows: the
    // viewing area's hidden right end, beside the centred design, stays hidden.
    const PixelRect view =
        window::design::toWindowPixels(window::design::control(window::design::Role::ViewingArea), fit.dpi);
    if (fit.client.right() < width) {
        EXPECT_EQ(form->pixel(fit.client.right(), fit.top + view.top + view.height / 2), 0x404040);
    }
    EXPECT_EQ(form->pixel(fit.client.left + 1, fit.top + 1), 0x404040);

    key(*form, VK_NEXT); // a presenter's clicker
    EXPECT_TRUE(form->timerEnabled());
    EXPECT_FALSE(form->buttonEnabled());
    pumpUntilStopped(*form);
    EXPECT_TRUE(form->buttonEnabled());

    key(*form, VK_ESCAPE);
    GetClientRect(form->handle(), &client);
    EXPECT_EQ(client.right, 539);
    EXPECT_EQ(client.bottom, 407);
    EXPECT_EQ(form->dpi(), 96);
    EXPECT_EQ(form->origin().x, 0);
    key(*form, VK_NEXT);
    EXPECT_FALSE(form->timerEnabled()) << "in the window PageDown is no click";
}

TEST_F(Win32Form, AWholeSpinLastsAsManyTicksAsTheHeadlessReel)
{
    writeOnePrize(folder);
    for (float u : {0.0f, kLargestU}) {
        auto form = makeForm(std::make_unique<fakes::ScriptedRandom>(std::vector<float>{u}));
        ASSERT_TRUE(form->show());
        pressButtonByKeys(*form);
        pumpUntilStopped(*form);
        EXPECT_EQ(form->ticksRun(), u == 0.0f ? 667 : 418);
        EXPECT_EQ(form->spin().speed(), 0);
        EXPECT_TRUE(form->buttonEnabled());
    }

    // A seeded sequence ends after exactly the ticks of the headless reel.
    // The spin also reports the intervals between its ticks, for the record.
    struct TimedForm : Form1 {
        using Form1::Form1;
        void setLeft(int i, float twips) override
        {
            if (ticksRun() != timedTick) {
                timedTick = ticksRun();
                LARGE_INTEGER now;
                QueryPerformanceCounter(&now);
                starts.push_back(now.QuadPart);
            }
            Form1::setLeft(i, twips);
        }
        long timedTick = 0;
        std::vector<long long> starts;
    };
    auto form = std::make_unique<TimedForm>(
        folder.path(), std::make_unique<FixedSeed>(2024), [](int, const std::string &) {}, 1, 96);
    ASSERT_TRUE(form->show());
    reel::HeadlessWindow headless;
    FixedSeed random(2024);
    catalogue::Catalogue prizes;
    fakes::FakePictureLoader pictures;
    reel::startUp(folder.path(), prizes, pictures, random, headless);
    reel::Spin spin(headless, random, prizes);
    spin.start();
    long headlessTicks = 0;
    while (headless.timerOn) {
        spin.tick();
        ++headlessTicks;
    }
    pressButtonByKeys(*form);
    pumpUntilStopped(*form);
    EXPECT_EQ(form->ticksRun(), headlessTicks);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form->left(i), headless.left(i)) << i;

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> intervals;
    for (std::size_t k = 1; k < form->starts.size(); ++k)
        intervals.push_back(double(form->starts[k] - form->starts[k - 1]) * 1000.0 / double(frequency.QuadPart));
    std::sort(intervals.begin(), intervals.end());
    ASSERT_FALSE(intervals.empty());
    const auto at = [&](double share) { return intervals[std::size_t(share * double(intervals.size() - 1))]; };
    std::printf("%zu tick intervals: median %.2f ms, p95 %.2f ms, max %.2f ms\n", intervals.size(), at(0.5), at(0.95),
                intervals.back());
}

TEST_F(Win32Form, AnErrorInTheLoadIsReportedAndTheWindowNeverShows)
{
    auto form = makeForm(std::make_unique<FixedSeed>(1)); // no data.ini
    EXPECT_FALSE(form->show());
    EXPECT_EQ(reported.count, 1);
    EXPECT_EQ(reported.number, 53);
    EXPECT_EQ(reported.text, "File not found");
    EXPECT_FALSE(IsWindowVisible(form->handle()));
    EXPECT_FALSE(form->show()) << "the load runs once";
    EXPECT_EQ(reported.count, 1);
    EXPECT_EQ(catalogue::runTimeErrorLine(53, "File not found"), "Run-time error '53': File not found");
}

TEST_F(Win32Form, AnErrorInATickIsReportedAndStopsTheTimer)
{
    writeOnePrize(folder);
    // Four draws at the load, then two numbers a tick: the third tick fails.
    auto form = makeForm(std::make_unique<FailingRandom>(4 + 2 * 2));
    ASSERT_TRUE(form->show());
    pressButtonByKeys(*form);
    pumpUntilStopped(*form);
    EXPECT_EQ(reported.count, 1);
    EXPECT_EQ(reported.number, 6);
    EXPECT_FALSE(form->timerEnabled());
    EXPECT_EQ(form->ticksRun(), 3);
}

TEST(Win32Program, TheRealProgramShowsItsWindowOnTheBundledList)
{
    const std::filesystem::path exe = std::filesystem::absolute(PRIZEDRAW_EXECUTABLE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + exe.wstring() + L"\"";
    ASSERT_TRUE(CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               exe.parent_path().c_str(), &startup, &process));
    // Its own visible window (other tests may show theirs meanwhile), within a time limit.
    struct Search {
        DWORD process;
        HWND found = nullptr;
    } search{process.dwProcessId};
    for (int attempt = 0; attempt < 300 && !search.found; ++attempt) {
        if (WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0)
            break;
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                auto *s = reinterpret_cast<Search *>(param);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner != s->process || !IsWindowVisible(window))
                    return TRUE;
                s->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
    }
    const HWND found = search.found;
    ASSERT_NE(found, nullptr);
    wchar_t title[64] = {};
    GetWindowTextW(found, title, 64);
    EXPECT_STREQ(title, L"仿VORTA开奖软件 Powered by MALQUENTIS");
    RECT client;
    GetClientRect(found, &client);
    EXPECT_EQ(client.right, 539);
    EXPECT_EQ(client.bottom, 407);
    PostMessageW(found, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30'000), WAIT_OBJECT_0);
    DWORD status = 99;
    GetExitCodeProcess(process.hProcess, &status);
    EXPECT_EQ(status, 0u);
    TerminateProcess(process.hProcess, 2); // only if it is still there
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace

TEST(GdiTextMeasure, MeasuresInTheCardsFontAndKnowsItsCharacters)
{
    window::win32::GdiTextMeasure measure;
    const auto &font = window::design::control("awardname", 0).font;
    const int labelPixels = window::design::toPixels(window::design::control("awardname", 0).rect).width;
    EXPECT_LE(measure.widthPixels(font, "四等奖保温杯套装"), labelPixels); // eight characters fit
    EXPECT_GT(measure.widthPixels(font, "四等奖保温杯套装加长版赠品"), labelPixels);
    EXPECT_TRUE(measure.hasCharacter(font, U'奖'));
    EXPECT_FALSE(measure.hasCharacter(font, U'\U0001F381')); // an emoji shows as a box
}
