// Reading data.ini into the tables, and the cumulative pass.
#include "catalogue.h"

#include "platform.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace catalogue {

FileNameFault pictureNameFault(std::string_view name)
{
    using Kind = FileNameFault::Kind;
    if (name.empty())
        return {Kind::Empty};
    if (name == "." || name == "..")
        return {Kind::Dots};
    const auto at = name.find_first_of(std::string_view("/\\\0", 3));
    if (at != std::string_view::npos)
        return {Kind::Character, name[at]};
    return {};
}

bool isSafePictureName(std::string_view name) { return !pictureNameFault(name); }

FileNameFault windowsFileNameFault(std::string_view name)
{
    using Kind = FileNameFault::Kind;
    if (name.empty())
        return {Kind::Empty};
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
            return {Kind::Character, c};
    if (name.back() == '.' || name.back() == ' ')
        return {Kind::EndsInDotOrBlank};

    // Windows ignores the extension and blanks before it when it looks for a device.
    std::string base(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (char &c : base)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const char *device : {"CON", "PRN", "AUX", "NUL"})
        if (base == device)
            return {Kind::Device};
    const bool numbered = base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT"));
    if (numbered && base[3] >= '1' && base[3] <= '9')
        return {Kind::Device};
    return {};
}

bool isWindowsFileName(std::string_view name) { return !windowsFileNameFault(name); }

std::filesystem::path utf8Path(std::string_view utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::filesystem::path pictureFileOf(const std::filesystem::path &folder, std::string_view name)
{
    if (!isSafePictureName(name) || !platform::allowsFileName(name))
        return {};
    // Joined as the system spells paths and parsed once, as / would join
    // them: this runs for every prize at every check of a list being edited.
    const std::filesystem::path::string_type &spelt = folder.native();
    const auto leaf = utf8Path(std::string(name) + ".jpg").native();
    if (spelt.empty() || spelt.back() == ':' || spelt.back() == '/' ||
        spelt.back() == std::filesystem::path::preferred_separator)
        return folder / leaf;
    return std::filesystem::path(spelt + std::filesystem::path::preferred_separator + leaf);
}

void Catalogue::empty()
{
    for (int k = 0; k <= std::min<int>(prizeCount, kMaxPrizes); ++k) {
        prize(k) = {};
        picture(k) = {};
    }
    prizeCount = 0;
}

ReadReport readPrizeList(Catalogue &catalogue, LineInput &file, const std::filesystem::path &pictureFolder,
                         PictureLoader &pictures, FailureRegime &regime)
{
    ReadReport report;
    report.readAsUtf8 = file.readsUtf8();
    Variant line; // reused for every line: a read past the end leaves it as it was
    int lineNumber = 0;
    auto &count = catalogue.prizeCount;

    while (!file.atEnd()) {
        if (count == Catalogue::kMaxPrizes) {
            report.recordsIgnored = true;
            break;
        }
        award &record = catalogue.prize(count);
        auto readInto = [&](Variant *field) {
            report.lastRecordCutShort = report.lastRecordCutShort || file.atEnd();
            regime.run([&] {
                file.readLine(line);
                if (file.lineWasCut())
                    report.linesCut.push_back(lineNumber + 1);
                ++lineNumber;
            });
            if (field)
                *field = line;
        };
        readInto(&record.pr);
        readInto(&record.color);
        readInto(&record.name);
        readInto(&record.amount);
        readInto(nullptr); // the fifth line is ignored
        regime.skipFailures();

        regime.run([&] {
            const auto file = pictureFileOf(pictureFolder, record.name.toText());
            if (file.empty())
                return; // never open anything outside the picture folder, nor a device
            std::optional<RuntimeError> refused;
            PicturePtr picture = pictures.tryLoad(file, refused);
            if (refused)
                regime.failed(*refused); // the slot stays empty
            else
                catalogue.picture(count) = std::move(picture);
        });
        ++count;
    }
    return report;
}

double weightOf(const Variant &pr)
{
    double weight = 0;
    try {
        weight = pr.toDouble();
    } catch (const RuntimeError &) {
        return 0; // not a number, or beyond the doubles: as if the weight were 0
    }
    return std::clamp(weight, -1e300, 1e300);
}

void cumulativePass(Catalogue &catalogue)
{
    double sum = 0;
    for (int i = 0; i <= catalogue.prizeCount; ++i) {
        sum += weightOf(catalogue.prize(i).pr);
        catalogue.prize(i).pr = sum;
    }
}

} // namespace catalogue
