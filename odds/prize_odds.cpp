// Loading a prize list as the game does, and the exact odds of its draw.
#include "prize_odds.h"

#include "display_text.h"
#include "draw.h"
#include "exif_orientation.h"
#include "form1_design.h"
#include "label_fit.h"
#include "picture_files.h"
#include "picture_matches.h"
#include "picture_rules.h"
#include "platform.h"
#include "prize_document.h"
#include "sample_pictures.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <numeric>
#include <set>
#include <unordered_map>

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
        std::optional<RuntimeError> refused;
        auto picture = tryLoad(file, refused);
        if (refused)
            throw *refused;
        return picture;
    }
    catalogue::PicturePtr tryLoad(const std::filesystem::path &file, std::optional<RuntimeError> &refused) override
    {
        auto picture = inner_.tryLoad(file, refused);
        verdicts.insert_or_assign(file.native(), refused);
        return picture;
    }

    std::filesystem::path fileRead(const std::filesystem::path &file) override { return inner_.fileRead(file); }

    std::unordered_map<std::filesystem::path::string_type, std::optional<RuntimeError>> verdicts;

private:
    catalogue::PictureLoader &inner_;
};

// The pixel size a picture file's header gives, or none when it gives none.
// Every check reads it again, so only a photo's EXIF block (with its
// thumbnail, up to 64 KB before the frame header) costs more than 4 KB.
std::optional<window::PictureSize> pictureSizeOf(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> head;
    for (const std::size_t wanted : {std::size_t(4) << 10, std::size_t(64) << 10}) {
        const std::size_t had = head.size();
        head.resize(wanted);
        in.read(reinterpret_cast<char *>(head.data() + had), static_cast<std::streamsize>(wanted - had));
        head.resize(had + static_cast<std::size_t>(in.gcount()));
        if (auto size = window::headerSize(head); size || head.size() < wanted) {
            // As the picture shows, upright by its orientation tag.
            const std::string_view bytes(reinterpret_cast<const char *>(head.data()), head.size());
            if (size && window::onItsSide(catalogue::jpegOrientation(bytes)))
                std::swap(size->width, size->height);
            return size;
        }
    }
    return std::nullopt;
}

// Differences smaller than this come from the rounding of r to single
// precision (a few draw values out of 2^24), not from the list.
constexpr double kShareTolerance = 1e-6;
constexpr double kWeightTolerance = 1e-9;
constexpr double kRareShare = 1e-4; // 0.01 %
// A picture this many times as tall as wide is a portrait one; a 3:4 phone
// photo is 1.33.
constexpr double kPortraitRatio = 1.2;

// "3:4" for small proportions, "1:1.41" for others.
std::string proportions(std::uint32_t width, std::uint32_t height)
{
    const std::uint32_t divisor = std::gcd(width, height);
    if (width / divisor <= 32 && height / divisor <= 32)
        return fmt::format("{}:{}", width / divisor, height / divisor);
    return fmt::format("1:{:.2f}", double(height) / width);
}

// One character as UTF-8.
std::string characterText(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

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

std::string shownCharacter(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code < 0x20 ? fmt::format("U+{:04X}", code) : quotedText(std::string(1, c));
}

std::string textWithRemedies(const Warning &warning)
{
    std::string text = warning.text.translated();
    for (const i18n::Message &remedy : warning.remedies)
        text = i18n::tr("{0}; {1}", text, remedy.translated());
    return text;
}

const char *pictureStateLabel(PictureState state)
{
    switch (state) {
    case PictureState::Loaded: return i18n::tr("loaded");
    case PictureState::Missing: return i18n::tr("missing");
    case PictureState::UnsafeName: return i18n::tr("unsafe name");
    case PictureState::Refused: return i18n::tr("refused");
    }
    return "?";
}

std::string runTimeErrorText(const RuntimeError &error)
{
    switch (error.number()) {
    case 6: return i18n::tr("Overflow");
    case 7: return i18n::tr("Out of memory");
    case 9: return i18n::tr("Subscript out of range");
    case 13: return i18n::tr("Type mismatch");
    case 53: return i18n::tr("File not found");
    case 62: return i18n::tr("Input past end of file");
    case 75: return i18n::tr("Path/File access error");
    case 481: return i18n::tr("Invalid picture");
    }
    return error.text();
}

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

namespace {

// The UTF-8 names of the regular files in folder; none when it cannot be read.
std::vector<std::string> filesIn(const std::filesystem::path &folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code statError;
        if (!it->is_regular_file(statError))
            continue;
        const std::u8string name = it->path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

PrizeList loadPrizeList(const std::filesystem::path &dataIni, catalogue::PictureLoader &loader)
{
    catalogue::PrizeListFile file(dataIni);
    PrizeList list = readPrizeList(dataIni, file, loader);
    list.looksUtf8WithoutMark = !list.read.readAsUtf8 && catalogue::looksLikeUtf8WithoutMark(leadingBytes(dataIni));
    return list;
}

std::optional<window::PictureSize> PictureSizes::of(const catalogue::PicturePtr &picture,
                                                    const std::filesystem::path &file)
{
    const auto found = known_.find(picture.get());
    if (found != known_.end() && found->second.picture.lock() == picture)
        return found->second.size;
    // Pictures let go since leave their entries: drop them before the map outgrows the list.
    if (known_.size() >= 2 * std::size_t(Catalogue::kMaxPrizes))
        std::erase_if(known_, [](const auto &entry) { return entry.second.picture.expired(); });
    const auto size = pictureSizeOf(file);
    known_[picture.get()] = {picture, size};
    return size;
}

PrizeList readPrizeList(const std::filesystem::path &dataIni, catalogue::LineInput &lines,
                        catalogue::PictureLoader &loader, PictureSizes *sizes, const FolderSnapshot *listed)
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
        const auto file = catalogue::pictureFileOf(list.pictureFolder, prizes.prize(i).name.toText());
        PictureState state = PictureState::Missing;
        std::string reason;
        std::optional<window::PictureSize> size;
        if (prizes.picture(i).picture()) {
            state = PictureState::Loaded;
            const auto read = recorder.fileRead(file);
            size = sizes ? sizes->of(prizes.picture(i).picture(), read) : pictureSizeOf(read);
        } else if (file.empty()) {
            state = PictureState::UnsafeName;
        } else if (auto found = recorder.verdicts.find(file.native());
                   found != recorder.verdicts.end() && found->second &&
                   found->second->code() != ErrorCode::FileNotFound) {
            state = PictureState::Refused;
            reason = fmt::format("{} {}", found->second->number(), found->second->text());
        }
        list.pictures.push_back(state);
        list.pictureErrors.push_back(std::move(reason));
        list.pictureSizes.push_back(size);
    }

    regime.run([&] { catalogue::cumulativePass(prizes); });
    list.pictureFolderFiles = listed ? listed->regularNames() : filesIn(list.pictureFolder);
    list.fileNamesIgnoreCase = catalogue::platform::fileNamesIgnoreCase();
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

double contrastWithBlack(std::int32_t color)
{
    const auto linear = [c = static_cast<std::uint32_t>(color)](int shift) {
        const double v = ((c >> shift) & 0xFF) / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(0) + 0.7152 * linear(8) + 0.0722 * linear(16);
    return (luminance + 0.05) / 0.05;
}

std::filesystem::path OddsReport::picturePathOf(const PrizeRow &prize) const
{
    return (pictureFolder / catalogue::utf8Path(prize.name + ".jpg")).make_preferred();
}

OddsReport buildReport(const PrizeList &list, window::TextMeasure *measure, LabelFits *kept)
{
    const Catalogue &prizes = *list.catalogue;
    const int count = prizes.prizeCount;
    const auto counts = exactCounts(prizes);

    OddsReport report;
    report.file = list.file;
    report.pictureFolder = list.pictureFolder;
    report.readAsUtf8 = list.read.readAsUtf8;
    report.recordsIgnored = list.read.recordsIgnored;
    report.lastRecordCutShort = list.read.lastRecordCutShort;
    report.looksUtf8WithoutMark = list.looksUtf8WithoutMark;
    report.totalWeight = prizes.prize(count).pr.toDouble();
    report.emptyCount = counts.back();

    report.prizes.reserve(std::size_t(count));
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
        row.loadedPicture = prizes.picture(i).picture();
        row.pictureError = list.pictureErrors.at(static_cast<std::size_t>(i));
        row.pictureSize = list.pictureSizes.at(static_cast<std::size_t>(i));
        report.prizes.push_back(std::move(row));
    }

    auto &warnings = report.warnings;
    // English, as --json gives it: the message and its remedies in one sentence.
    const auto inEnglish = [](const i18n::Message &message, const std::vector<i18n::Message> &remedies) {
        std::string text = message.inEnglish();
        for (const i18n::Message &remedy : remedies)
            text += "; " + remedy.inEnglish();
        return text;
    };
    auto warnList = [&](WarningCode code, i18n::Message message, std::string file = {},
                        std::vector<i18n::Message> remedies = {}) {
        warnings.push_back(
            {code, std::nullopt, {}, inEnglish(message, remedies), std::move(file), message, std::move(remedies)});
    };
    auto warnPrize = [&](const PrizeRow &row, WarningCode code, i18n::Message message, std::string file = {},
                         std::vector<i18n::Message> remedies = {}) {
        warnings.push_back(
            {code, row.index, row.name, inEnglish(message, remedies), std::move(file), message, std::move(remedies)});
    };
    // Files are named in messages as the list's folder sees them, with the
    // platform's separator.
    const auto inPictureFolder = [](std::string_view fileName) {
        return "picture" + std::string(1, static_cast<char>(std::filesystem::path::preferred_separator)) +
               std::string(fileName);
    };
    const auto percent = [](std::uint32_t count) { return fmt::format("{:.4f}", percentOf(count)); };

    std::map<std::string, int> firstWithName;
    std::vector<std::string> names;
    for (const PrizeRow &row : report.prizes)
        names.push_back(row.name);
    const PictureFolderMatch folder(list.pictureFolderFiles, names, list.fileNamesIgnoreCase);
    std::set<std::string> offered;

    // One message per label, so that each reads naturally when translated.
    const auto warnLabel = [&](const PrizeRow &row, bool isName, std::string_view text, const LabelFit &fit) {
        if (fit.cut())
            warnPrize(row, isName ? WarningCode::NameTooWide : WarningCode::AmountTooWide,
                      isName ? i18n::trLater("the name is {0} pixels wide in the card's font, but the card has room "
                                             "for {1}: it shows only {2}; shorten the name",
                                             fit.textPixels, fit.labelPixels, quotedText(fit.shown))
                             : i18n::trLater("the amount is {0} pixels wide in the card's font, but the card has room "
                                             "for {1}: it shows only {2}; shorten the amount",
                                             fit.textPixels, fit.labelPixels, quotedText(fit.shown)));
        if (!fit.missing.empty()) {
            std::string characters;
            for (const char32_t c : fit.missing)
                characters += fmt::format("{}{} (U+{:04X})", characters.empty() ? "" : ", ",
                                          quotedText(characterText(c)), static_cast<std::uint32_t>(c));
            warnPrize(row, isName ? WarningCode::NameCharacterMissing : WarningCode::AmountCharacterMissing,
                      isName ? i18n::trLater("the card's font cannot draw {0} in the name {1}: the card shows a box "
                                             "in its place; use another character",
                                             characters, quotedText(text))
                             : i18n::trLater("the card's font cannot draw {0} in the amount {1}: the card shows a box "
                                             "in its place; use another character",
                                             characters, quotedText(text)));
        }
    };

    // The card stretches every picture to its 3:2 box: a portrait one shows
    // squashed to well under half its height.
    const auto warnPortrait = [&](const PrizeRow &row, window::PictureSize size) {
        if (size.width == 0 || size.height < kPortraitRatio * size.width)
            return;
        const double kept = (double(kPictureBoxHeight) / kPictureBoxWidth) / (double(size.height) / size.width);
        warnPrize(row, WarningCode::PicturePortrait,
                  i18n::trLater("the picture is {0} x {1} pixels, taller than wide ({2}), but the card shows it "
                                "stretched to {3} x {4}: it looks squashed to {5}% of its height; crop it to a "
                                "landscape picture about 3:2",
                                size.width, size.height, proportions(size.width, size.height), kPictureBoxWidth,
                                kPictureBoxHeight, fmt::format("{:.0f}", 100 * kept)));
    };

    if (report.readAsUtf8)
        warnList(WarningCode::ReadAsUtf8,
                 list.markAddedAtSave
                     ? i18n::trLater("the list is read as UTF-8; its file has no byte-order mark yet, and Save writes "
                                     "one, so that the game reads it as UTF-8 too")
                     : i18n::trLater("the file begins with a UTF-8 byte-order mark, so it is read as UTF-8, not GBK"));
    if (report.looksUtf8WithoutMark)
        warnList(WarningCode::Utf8WithoutBom,
                 i18n::trLater("this file looks like UTF-8 without a byte-order mark; the game reads it as GBK, so "
                               "names show garbled and pictures are not found"),
                 {},
                 {i18n::trLater("to write it in GBK, the game's own encoding, run {0}",
                                "prizelist encode data.ini --from utf8 --to gbk")});
    if (report.recordsIgnored)
        warnList(WarningCode::RecordsIgnored,
                 i18n::trLater("records past the {0}th are ignored", Catalogue::kMaxPrizes));
    if (count == 0) {
        warnList(WarningCode::NoPrizes, i18n::trLater("the list holds no prize: every draw shows an empty card"));
    } else if (std::abs(report.totalWeight - 100) > kWeightTolerance) {
        const std::string total = number(report.totalWeight);
        if (report.totalWeight < 100)
            warnList(WarningCode::TotalNot100,
                     i18n::trLater("weights add up to {0}, not 100: the other {1}% of draws show an empty card "
                                   "(black strip, no name, no picture)",
                                   total, percent(report.emptyCount)));
        else
            warnList(WarningCode::TotalNot100,
                     i18n::trLater("weights add up to {0}, not 100: the draw ends at 100, so prizes past that mark "
                                   "are cut",
                                   total));
    }
    if (report.lastRecordCutShort)
        warnPrize(report.prizes.back(), WarningCode::LastRecordCutShort,
                  i18n::trLater("the file ends inside this record: its missing lines repeat the line before them"));
    for (const int line : list.read.linesCut) {
        const auto prize = static_cast<std::size_t>((line - 1) / authoring::kFields);
        if (prize < report.prizes.size())
            warnPrize(
                report.prizes[prize], WarningCode::LineCut,
                i18n::trLater("its {0} (line {1}) is longer than {2} bytes: the game reads only the first {2}, "
                              "and prizelist and prizeedit open the list only once the line is shortened",
                              authoring::fieldLabel(static_cast<authoring::Field>((line - 1) % authoring::kFields)),
                              line, catalogue::PrizeListFile::kMaxLineBytes));
    }

    for (const PrizeRow &row : report.prizes) {
        const double share = static_cast<double>(row.count) / kDrawValues;
        if (!row.weightIsNumber) {
            warnPrize(
                row, WarningCode::WeightNotANumber,
                i18n::trLater("weight {0} is not a number: counted as 0, never drawn", quotedText(row.weightText)));
        } else if (row.weight < 0) {
            warnPrize(row, WarningCode::WeightNegative,
                      i18n::trLater("weight {0} is negative: never drawn, and it lowers the running total, which "
                                    "cuts the prizes before it",
                                    fitWidth(row.weightText, 40)));
        } else if (row.weight == 0) {
            warnPrize(row, WarningCode::WeightZero, i18n::trLater("weight 0: never drawn"));
        } else if (share < row.weight / 100 - kShareTolerance) {
            const bool pastTotal = prizes.prize(row.index).pr.toDouble() > 100 + kWeightTolerance;
            const std::string weight = fitWidth(row.weightText, 40);
            if (pastTotal)
                warnPrize(row, WarningCode::Cut,
                          row.count == 0
                              ? i18n::trLater("weight {0}, but never drawn: the running total passes 100 here", weight)
                              : i18n::trLater("weight {0}, but drawn {1}%: the running total passes 100 here", weight,
                                              percent(row.count)));
            else
                warnPrize(row, WarningCode::Cut,
                          row.count == 0
                              ? i18n::trLater(
                                    "weight {0}, but never drawn: a negative weight after it lowers its bound", weight)
                              : i18n::trLater("weight {0}, but drawn {1}%: a negative weight after it lowers its bound",
                                              weight, percent(row.count)));
        } else if (share < kRareShare) {
            warnPrize(row, WarningCode::Rare,
                      row.count == 0 ? i18n::trLater("weight {0} is too small for the draw to resolve: never drawn",
                                                     fitWidth(row.weightText, 40))
                                     : i18n::trLater("drawn in only {0}% of draws ({1} of {2})", percent(row.count),
                                                     row.count, kDrawValues));
        }

        if (!row.colorUsable)
            warnPrize(row, WarningCode::ColorUnusable,
                      i18n::trLater("colour {0} is not a colour from 0 to 16777215: the strip shows black",
                                    quotedText(row.colorText)));
        else if (contrastWithBlack(row.color) < kMinNameContrast)
            warnPrize(row, WarningCode::ColorHidesName,
                      i18n::trLater("colour {0} is so dark that the black name on the strip is hard to read "
                                    "(contrast {1}:1, under 3:1): choose a lighter colour",
                                    hexColor(row.color), fmt::format("{:.1f}", contrastWithBlack(row.color))));

        if (measure) {
            const auto fit = [&](std::string_view label, const std::string &text) {
                return kept ? kept->of(*measure, label, text) : fitLabel(*measure, label, text);
            };
            warnLabel(row, true, row.name, fit("awardname", row.name));
            warnLabel(row, false, row.amount, fit("award", row.amount));
        }

        switch (row.picture) {
        case PictureState::Loaded: {
            // Stretched over the card's picture box, a picture of under a quarter of its pixels looks blurry.
            const window::design::PixelRect box =
                window::design::toPixels(window::design::control(window::design::Role::CardPicture, 0).rect);
            if (row.pictureSize && 4ull * row.pictureSize->width * row.pictureSize->height <
                                       std::uint64_t(box.width) * std::uint64_t(box.height))
                warnPrize(row, WarningCode::PictureTooSmall,
                          i18n::trLater("the picture is only {0} × {1} pixels, under a quarter of the {2} × {3} the "
                                        "card shows it at: it will look blurry; use a larger picture",
                                        row.pictureSize->width, row.pictureSize->height, box.width, box.height));
            // A file meant for this prize that the game passes over for its own.
            if (const auto nearMiss = folder.nearMiss(row.name)) {
                const std::string ownFile = folder.ownFile(row.name).value_or(row.name + ".jpg");
                const std::string own = quotedText(inPictureFolder(ownFile));
                const std::string near = quotedText(inPictureFolder(*nearMiss));
                offered.insert(*nearMiss);
                warnPrize(row, WarningCode::PictureNearMiss,
                          isBundledSample(list.pictureFolder / catalogue::utf8Path(ownFile))
                              ? i18n::trLater("{0} looks meant for this prize, but the card shows {1}, the bundled "
                                              "sample picture: to show yours, replace {1} with it",
                                              near, own)
                              : i18n::trLater("{0} looks meant for this prize, but the card shows {1}: to show it "
                                              "instead, replace {1} with it",
                                              near, own),
                          inPictureFolder(*nearMiss));
            }
            if (row.pictureSize)
                warnPortrait(row, *row.pictureSize);
            break;
        }
        case PictureState::Missing: {
            const std::string file = inPictureFolder(row.name + ".jpg");
            warnPrize(row, WarningCode::PictureMissing,
                      i18n::trLater("{0} is missing: the card shows no picture", quotedText(file)), file);
            if (const auto nearMiss = folder.nearMiss(row.name)) {
                offered.insert(*nearMiss);
                warnPrize(row, WarningCode::PictureNearMiss,
                          i18n::trLater("{0} is there, but the game opens only {1}",
                                        quotedText(inPictureFolder(*nearMiss)), quotedText(file)),
                          inPictureFolder(*nearMiss),
                          {i18n::trLater("rename the file to {0}", quotedText(row.name + ".jpg"))});
            }
            break;
        }
        case PictureState::Refused:
            warnPrize(
                row, WarningCode::PictureRefused,
                i18n::trLater("the picture file cannot be used ({0}): the card shows no picture", row.pictureError));
            break;
        case PictureState::UnsafeName: {
            const catalogue::FileNameFault fault = catalogue::pictureNameFault(row.name);
            warnPrize(row, WarningCode::PictureUnsafeName,
                      fault.kind == catalogue::FileNameFault::Kind::Character
                          ? i18n::trLater("the name holds {0}, which a file name cannot hold: no picture is looked "
                                          "for; take it out of the name",
                                          shownCharacter(fault.character))
                      : fault.kind == catalogue::FileNameFault::Kind::Empty
                          ? i18n::trLater("the name is empty, so it cannot name a picture file: no picture is looked "
                                          "for; give the prize a name")
                          : i18n::trLater("the name {0} cannot be a file name: no picture is looked for; give the "
                                          "prize another name",
                                          quotedText(row.name)));
            break;
        }
        }

        // The list goes to Windows PCs, so this is said on every platform.
        if (const auto fault = catalogue::windowsFileNameFault(row.name);
            catalogue::isSafePictureName(row.name) && fault)
            warnPrize(row, WarningCode::NameNotWindowsFile,
                      fault.kind == catalogue::FileNameFault::Kind::Character
                          ? i18n::trLater("on Windows a file name cannot hold {0}, which the name holds: there the "
                                          "card shows no picture; take it out of the name",
                                          shownCharacter(fault.character))
                      : fault.kind == catalogue::FileNameFault::Kind::Device
                          ? i18n::trLater("on Windows {0} is the name of a device, not of a file: there the card "
                                          "shows no picture; give the prize another name",
                                          quotedText(row.name))
                          : i18n::trLater("on Windows a file name cannot end in a dot or a blank, as the name does: "
                                          "there the card shows no picture; take it off the end"));

        // Said once per name, at its second prize, however many share it.
        if (const auto [first, isNew] = firstWithName.try_emplace(row.name, row.index); !isNew && first->second >= 0) {
            const auto sharing = std::count_if(report.prizes.begin(), report.prizes.end(),
                                               [&](const PrizeRow &other) { return other.name == row.name; });
            warnPrize(row, WarningCode::NameDuplicate,
                      i18n::trLater("{0} prizes have this name, the first is prize {1}: they show the one picture "
                                    "{2}, and a winner cannot tell them apart",
                                    sharing, first->second + 1, quotedText(inPictureFolder(row.name + ".jpg"))),
                      inPictureFolder(row.name + ".jpg"));
            first->second = -1;
        }
    }

    for (const std::string &file : list.pictureFolderFiles)
        if (!folder.isOwn(file) && !offered.contains(file))
            warnList(WarningCode::PictureUnused,
                     i18n::trLater("{0} is the picture of no prize", quotedText(inPictureFolder(file))),
                     inPictureFolder(file));
    return report;
}

} // namespace odds
