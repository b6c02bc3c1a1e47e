// The start-up sequence of the window.
#include "startup.h"

#include "draw.h"

namespace reel {

catalogue::ReadReport startUp(const std::filesystem::path &folder, catalogue::Catalogue &prizes,
                              catalogue::PictureLoader &pictures, RandomSource &random, ReelWindow &window)
{
    catalogue::FailureRegime regime;
    random.randomize();
    catalogue::PrizeListFile file(folder / "data.ini");
    prizes.prizeCount = 0;
    const auto report = catalogue::readPrizeList(prizes, file, folder / "picture", pictures, regime);
    regime.run([&] { file.close(); });
    regime.run([&] { catalogue::cumulativePass(prizes); });
    const int cards = window.cardCount();
    for (int i = 0; i < cards; ++i)
        regime.run([&] { Newreset(window, static_cast<std::int16_t>(i), prizes, random); });
    return report;
}

} // namespace reel
