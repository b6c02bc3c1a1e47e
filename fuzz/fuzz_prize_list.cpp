// Fuzzes data.ini: any bytes go through the reader, the cumulative pass and a
// few draws, and the tables must stay within their invariants.
#include "catalogue.h"
#include "fuzz_check.h"
#include "draw.h"
#include "headless_window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {
// Hands out a picture for every name of even length, without touching the disk.
struct NameOnlyLoader : catalogue::PictureLoader {
    struct Dummy : catalogue::Picture {};
    catalogue::PicturePtr load(const std::filesystem::path &file) override
    {
        if (file.parent_path().filename() != "picture")
            std::abort(); // a name escaped the picture folder
        if (file.filename().string().size() % 2)
            throw catalogue::RuntimeError(catalogue::ErrorCode::FileNotFound);
        return std::make_shared<Dummy>();
    }
};

// A fixed number stands in for the random source: the fuzzer controls it.
struct FixedRandom : reel::RandomSource {
    float u = 0;
    void randomize() override {}
    float next() override { return u; }
};

struct EmptiedAfterwards {
    catalogue::Catalogue &prizes;
    ~EmptiedAfterwards() { prizes.empty(); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // One catalogue for every run: a fresh 300 KB block per run would fill the
    // sanitizer's quarantine, and rebuilding all 1001 slots costs more than a
    // short input. Each run empties the slots it wrote, 0 to its prize count,
    // so that it frees all it allocated and a real leak still shows.
    static auto *prizes = new catalogue::Catalogue();
    const EmptiedAfterwards emptied{*prizes};
    static const std::filesystem::path pictureFolder = "/nonexistent/picture";
    NameOnlyLoader pictures;
    catalogue::FailureRegime regime;
    try {
        auto file = catalogue::PrizeListFile::overBytes(std::string(reinterpret_cast<const char *>(data), size));
        catalogue::readPrizeList(*prizes, file, pictureFolder, pictures, regime);
    } catch (const catalogue::RuntimeError &e) {
        // Only a list whose first record is cut short may fail, and only this way.
        check(e.number() == 62 && !regime.skipping());
        return 0;
    }
    catalogue::cumulativePass(*prizes);

    const int n = prizes->prizeCount;
    check(n >= 0 && n <= catalogue::Catalogue::kMaxPrizes);
    for (int k = 0; k <= n; ++k) {
        const auto &pr = prizes->prize(k).pr;
        check(pr.kind() == catalogue::Variant::Kind::Double && !std::isnan(pr.toDouble()));
    }

    reel::HeadlessWindow window;
    FixedRandom random;
    for (float u : {0.0f, 0.25f, 0.5f, 0.75f, 0x1.fffffep-1f}) {
        random.u = u;
        reel::Newreset(window, 0, *prizes, random);
        const auto &card = window.card(0);
        const int slot = reel::drawnSlot(*prizes, reel::drawValue(u));
        check(slot >= 0 && slot <= n);
        check(card.name == prizes->prize(slot).name.toText());
        check(card.fillColor >= 0 && card.fillColor <= 0xFFFFFF);
        check(card.picture == prizes->picture(slot).picture());
    }
    return 0;
}
