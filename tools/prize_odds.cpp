// Loading a prize list as the game does, and the exact odds of its draw.
#include "prize_odds.h"

#include "display_text.h"
#include "draw.h"
#include "prize_document.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>

namespace odds {

using catalogue::Catalogue;
using catalogue::ErrorCode;
using catalogue::RuntimeError;
using catalogue::Variant;

namespace {

// Passes every request on and keeps the loader's verdict per file, so that a
// picture the game leaves out can be told missing from refused.
class VerdictRecorder : public catalogue::PictureLoader {
public:
    explicit VerdictRecorder(catalogue::PictureLoader &inner) : inner_(inner) {}

    catalogue::PicturePtr load(const std::filesystem::path &file) override
    {
        try {
            auto picture = inner_.load(file);
            verdicts.insert_or_assign(file, std::nullopt);
            return picture;
        } catch (const RuntimeError &error) {
            verdicts.insert_or_assign(file, error);
            throw;
        }
    }

    std::map<std::filesystem::path, std::optional<RuntimeError>> verdicts;

private:
    catalogue::PictureLoader &inner_;
};

// Differences smaller than this come from the rounding of r to single
// precision (a few draw values out of 2^24), not from the list.
constexpr double kShareTolerance = 1e-6;
constexpr double kWeightTolerance = 1e-9;
constexpr double kRareShare = 1e-4; // 0.01 %

std::string number(double value) { return fmt::format("{:.10g}", value); }

// Text from the file, quoted in a message and kept to a readable length.
std::string quotedText(std::string_view text) { return "\"" + fitWidth(text, 40) + "\""; }

float drawValueOf(std::uint32_t k) { return reel::drawValue(static_cast<float>(k) * 0x1p-24f); }

// The first of the draw values from which slot j stops the walk, or
// kDrawValues when it never does. The walk's test only turns true as r
// grows, and r never decreases as k grows, so one bisection finds it.
std::uint32_t firstStop(const Catalogue &prizes, int j)
{
    std::uint32_t low = 0;
    std::uint32_t high = kDrawValues;
    while (low < high) {
        const std::uint32_t mid = low + (high - low) / 2;
        if (reel::stopsAt(prizes, j, drawValueOf(mid)))
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

} // namespace

const char *pictureStateText(PictureState state)
{
    switch (state) {
    case PictureState::Loaded: return "loaded";
    case PictureState::Missing: return "missing";
    case PictureState::UnsafeName: return "unsafe name";
    case PictureState::Refused: return "refused";
    }
    return "?";
}

namespace {
// The start of a file, up to a whole line: enough to tell its encoding.
std::string leadingBytes(const std::filesystem::path &file)
{
    constexpr std::size_t kEnough = 4 << 20;
    std::ifstream in(file, std::ios::binary);
    std::string bytes(kEnough, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() == kEnough)
        bytes.resize(bytes.find_last_of('\n') + 1); // npos + 1 is 0
    return bytes;
}
} // namespace

PrizeList loadPrizeList(const std::filesystem::path &dataIni, catalogue::PictureLoader &loader)
{
    catalogue::PrizeListFile file(dataIni);
    PrizeList list = readPrizeList(dataIni, file, loader);
    list.looksUtf8WithoutMark = !list.read.readAsUtf8 && catalogue::looksLikeUtf8WithoutMark(leadingBytes(dataIni));
    return list;
}

PrizeList readPrizeList(const std::filesystem::path &dataIni, catalogue::LineInput &lines,
                        catalogue::PictureLoader &loader)
{
    PrizeList list;
    list.file = dataIni;
    list.pictureFolder = dataIni.parent_path() / "picture";
    list.catalogue = std::make_unique<Catalogue>();
    Catalogue &prizes = *list.catalogue;

    VerdictRecorder recorder(loader);
    catalogue::FailureRegime regime;
    list.read = catalogue::readPrizeList(prizes, lines, list.pictureFolder, recorder, regime);

    for (int i = 0; i < prizes.prizeCount; ++i) {
        list.weights.push_back(prizes.prize(i).pr); // the pass below replaces it
        const std::string name = prizes.prize(i).name.toText();
        PictureState state = PictureState::Missing;
        std::string reason;
        if (prizes.picture(i).picture()) {
            state = PictureState::Loaded;
        } else if (catalogue::pictureFileOf(list.pictureFolder, name).empty()) {
            state = PictureState::UnsafeName;
        } else if (auto found = recorder.verdicts.find(catalogue::pictureFileOf(list.pictureFolder, name));
                   found != recorder.verdicts.end() && found->second &&
                   found->second->code() != ErrorCode::FileNotFound) {
            state = PictureState::Refused;
            reason = fmt::format("{} {}", found->second->number(), found->second->text());
        }
        list.pictures.push_back(state);
        list.pictureErrors.push_back(std::move(reason));
    }

    regime.run([&] { catalogue::cumulativePass(prizes); });
    return list;
}

std::vector<std::uint32_t> exactCounts(const Catalogue &prizes)
{
    const int slots = prizes.prizeCount + 1;
    std::vector<std::uint32_t> counts(static_cast<std::size_t>(slots), 0);
    // The walk takes the highest slot that stops, so slot j shows from the
    // first value at which it or any slot above it stops, up to where the
    // next slot takes over: one bisection per slot, each test one bound.
    std::vector<std::uint32_t> start(static_cast<std::size_t>(slots) + 1, kDrawValues);
    for (int j = prizes.prizeCount; j >= 1; --j)
        start[std::size_t(j)] = std::min(start[std::size_t(j) + 1], firstStop(prizes, j));
    start[0] = 0;
    for (std::size_t j = 0; j < counts.size(); ++j)
        counts[j] = start[j + 1] - start[j];
    return counts;
}

std::string hexColor(std::int32_t color)
{
    const auto c = static_cast<std::uint32_t>(color);
    return fmt::format("#{:02X}{:02X}{:02X}", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

OddsReport buildReport(const PrizeList &list)
{
    const Catalogue &prizes = *list.catalogue;
    const int count = prizes.prizeCount;
    const auto counts = exactCounts(prizes);

    OddsReport report;
    report.file = list.file;
    report.readAsUtf8 = list.read.readAsUtf8;
    report.recordsIgnored = list.read.recordsIgnored;
    report.lastRecordCutShort = list.read.lastRecordCutShort;
    report.looksUtf8WithoutMark = list.looksUtf8WithoutMark;
    report.totalWeight = prizes.prize(count).pr.toDouble();
    report.emptyCount = counts.back();

    for (int i = 0; i < count; ++i) {
        const auto &prize = prizes.prize(i);
        PrizeRow row;
        row.index = i;
        row.name = prize.name.toText();
        row.amount = prize.amount.toText();
        const Variant &weight = list.weights.at(static_cast<std::size_t>(i));
        row.weightText = weight.toText();
        row.weightIsNumber = weight.numberIf().has_value();
        row.weight = catalogue::weightOf(weight);
        row.colorText = prize.color.toText();
        row.color = reel::cardColor(prize.color);
        // Usable when the strip shows the number that was written.
        const auto written = prize.color.numberIf();
        row.colorUsable = written && std::nearbyint(*written) == row.color;
        row.count = counts.at(static_cast<std::size_t>(i));
        row.picture = list.pictures.at(static_cast<std::size_t>(i));
        row.picturePath = list.pictureFolder / catalogue::utf8Path(row.name + ".jpg");
        row.loadedPicture = prizes.picture(i).picture();
        row.pictureError = list.pictureErrors.at(static_cast<std::size_t>(i));
        report.prizes.push_back(std::move(row));
    }

    auto &warnings = report.warnings;
    auto warnList = [&](std::string code, std::string message) {
        warnings.push_back({std::move(code), std::nullopt, {}, std::move(message)});
    };
    auto warnPrize = [&](const PrizeRow &row, std::string code, std::string message) {
        warnings.push_back({std::move(code), row.index, row.name, std::move(message)});
    };

    if (report.readAsUtf8)
        warnList("read-as-utf8", "the file begins with a UTF-8 byte-order mark, so it is read as UTF-8, not GBK");
    if (report.looksUtf8WithoutMark)
        warnList("utf8-without-bom",
                 "this file looks like UTF-8 without a byte-order mark; the game reads it as GBK, so names show "
                 "garbled and pictures are not found. Fix: prizelist encode data.ini --from utf8 --to gbk");
    if (report.recordsIgnored)
        warnList("records-ignored", fmt::format("records past the {}th are ignored", Catalogue::kMaxPrizes));
    if (count == 0) {
        warnList("no-prizes", "the list holds no prize: every draw shows an empty card");
    } else if (std::abs(report.totalWeight - 100) > kWeightTolerance) {
        const std::string total = number(report.totalWeight);
        if (report.totalWeight < 100)
            warnList("total-not-100",
                     fmt::format("weights add up to {}, not 100: the other {:.4f}% of draws show an empty card "
                                 "(black strip, no name, no picture)",
                                 total, percentOf(report.emptyCount)));
        else
            warnList("total-not-100",
                     fmt::format("weights add up to {}, not 100: the draw ends at 100, so prizes past that mark "
                                 "are cut",
                                 total));
    }
    if (report.lastRecordCutShort)
        warnPrize(report.prizes.back(), "last-record-cut-short",
                  "the file ends inside this record: its missing lines repeat the line before them");
    for (const int line : list.read.linesCut) {
        const auto prize = static_cast<std::size_t>((line - 1) / authoring::kFields);
        if (prize < report.prizes.size())
            warnPrize(report.prizes[prize], "line-cut",
                      fmt::format("its {} (line {}) is longer than {} bytes: the game reads only the first {}, and "
                                  "prizelist and prizeedit open the list only once the line is shortened",
                                  authoring::fieldName(static_cast<authoring::Field>((line - 1) % authoring::kFields)),
                                  line, catalogue::PrizeListFile::kMaxLineBytes,
                                  catalogue::PrizeListFile::kMaxLineBytes));
    }

    for (const PrizeRow &row : report.prizes) {
        const double share = static_cast<double>(row.count) / kDrawValues;
        if (!row.weightIsNumber) {
            warnPrize(row, "weight-not-a-number",
                      fmt::format("weight {} is not a number: counted as 0, never drawn", quotedText(row.weightText)));
        } else if (row.weight < 0) {
            warnPrize(row, "weight-negative",
                      fmt::format("weight {} is negative: never drawn, and it lowers the running total, which cuts "
                                  "the prizes before it",
                                  fitWidth(row.weightText, 40)));
        } else if (row.weight == 0) {
            warnPrize(row, "weight-zero", "weight 0: never drawn");
        } else if (share < row.weight / 100 - kShareTolerance) {
            const bool pastTotal = prizes.prize(row.index).pr.toDouble() > 100 + kWeightTolerance;
            const std::string outcome =
                row.count == 0 ? "never drawn" : fmt::format("drawn {:.4f}%", percentOf(row.count));
            warnPrize(row, "cut",
                      fmt::format("weight {}, but {}: {}", fitWidth(row.weightText, 40), outcome,
                                  pastTotal ? "the running total passes 100 here"
                                            : "a negative weight after it lowers its bound"));
        } else if (share < kRareShare) {
            warnPrize(row, "rare",
                      row.count == 0
                          ? fmt::format("weight {} is too small for the draw to resolve: never drawn",
                                        fitWidth(row.weightText, 40))
                          : fmt::format("drawn in only {:.4f}% of draws ({} of {})", percentOf(row.count),
                                        row.count, kDrawValues));
        }

        if (!row.colorUsable)
            warnPrize(row, "color-unusable",
                      fmt::format("colour {} is not a colour from 0 to 16777215: the strip shows black",
                                  quotedText(row.colorText)));

        switch (row.picture) {
        case PictureState::Loaded: break;
        case PictureState::Missing:
            warnPrize(row, "picture-missing", "no picture file: the card shows no picture");
            break;
        case PictureState::Refused:
            warnPrize(row, "picture-refused",
                      fmt::format("the picture file cannot be used ({}): the card shows no picture",
                                  row.pictureError));
            break;
        case PictureState::UnsafeName:
            warnPrize(row, "picture-unsafe-name",
                      "the name cannot be a file name in the picture folder (empty, \".\", \"..\", or holds / or "
                      "\\): no picture is looked for");
            break;
        }
    }
    return report;
}

} // namespace odds
