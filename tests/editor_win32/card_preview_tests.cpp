// The editor's card preview on Windows shows a prize exactly as the game's
// window shows it on a card, at 96 and 144 dpi.
#include "card_preview.h"
#include "fakes.h"
#include "form1.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <fstream>
#include <iterator>

namespace {

struct FixedSeed : reel::Mt19937Source {
    explicit FixedSeed(std::uint32_t seed) : Mt19937Source(seed) {}
    void randomize() override {}
};

class Win32CardPreviewAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(Win32CardPreviewAtDpi, ShowsAPrizePixelForPixelAsTheGamesCard)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int dpi = GetParam();
    // One prize with a real photo and a light strip: every card shows it.
    fakes::TempFolder folder;
    folder.writeDataIni("\xEF\xBB\xBF" + fakes::record("100", std::to_string(0xC0FFEE), "荧光棒 Glow", "77"));
    std::ifstream jpeg(std::filesystem::path(SAMPLE_DIR) / "picture" / u8"荧光棒.jpg", std::ios::binary);
    folder.write(std::filesystem::path("picture") / u8"荧光棒 Glow.jpg",
                 std::string(std::istreambuf_iterator<char>(jpeg), {}));
    window::win32::Form1 game(
        folder.path(), std::make_unique<FixedSeed>(1), [](int, const std::string &) {}, 1, dpi);
    ASSERT_TRUE(game.show());
    game.render();

    editor_win32::CardPreview preview(game.handle(), 1);
    preview.setDpi(dpi);
    preview.showSlot(game.prizes(), 0);
    preview.render();
    EXPECT_EQ(preview.name(), L"荧光棒 Glow");

    // Card 2 lies whole in the window with nothing over it.
    const auto frame = window::design::toWindowPixels(window::design::control("awardbox", 2), dpi);
    RECT client;
    GetClientRect(preview.handle(), &client);
    ASSERT_EQ(client.right, frame.width);
    ASSERT_EQ(client.bottom, frame.height);
    int differ = 0;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
            differ += preview.pixel(x, y) != game.pixel(frame.left + x, frame.top + y) ? 1 : 0;
    EXPECT_EQ(differ, 0);
    // Not two blank cards: the photo and the strip are there.
    EXPECT_EQ(preview.pixel(frame.width / 2, frame.height - 5), 0xC0FFEE);
    EXPECT_NE(preview.pixel(frame.width / 2, frame.height / 3), preview.pixel(3, frame.height - 5));
}

INSTANTIATE_TEST_SUITE_P(Dpi, Win32CardPreviewAtDpi, ::testing::Values(96, 144));

} // namespace
