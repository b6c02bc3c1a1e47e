// A prize list in a temporary folder, read by the odds tool's own loader.
#pragma once

#include "fakes.h"
#include "picture_files.h"
#include "prize_odds.h"

#include <algorithm>
#include <string>
#include <vector>

namespace testing_odds {

inline const std::filesystem::path kData = TOOLS_DATA_DIR;

class ListFolder {
public:
    std::filesystem::path dataIni() const { return folder.path() / "data.ini"; }

    void write(const std::string &bytes) const { folder.writeDataIni(bytes); }
    // Copies one of the real pictures in tests/tools/data to picture/NAME.jpg.
    void picture(const std::string &utf8Name, const std::string &source = "red.jpg") const
    {
        std::filesystem::create_directories(folder.path() / "picture");
        std::filesystem::copy_file(kData / source, folder.path() / "picture" / catalogue::utf8Path(utf8Name + ".jpg"));
    }
    odds::OddsReport report(const std::string &bytes)
    {
        write(bytes);
        return report();
    }
    odds::OddsReport report()
    {
        list = odds::loadPrizeList(dataIni(), loader);
        return odds::buildReport(list);
    }

    fakes::TempFolder folder;
    odds::PictureFileLoader loader;
    odds::PrizeList list;
};

// Records with the given weights, named p0, p1, ... in red.
inline std::string weights(std::initializer_list<std::string> ws)
{
    std::string bytes;
    int k = 0;
    for (const auto &w : ws)
        bytes += fakes::record(w, "255", "p" + std::to_string(k++), "1");
    return bytes;
}

inline std::vector<std::uint32_t> countsOf(const odds::OddsReport &report)
{
    std::vector<std::uint32_t> counts;
    for (const auto &prize : report.prizes)
        counts.push_back(prize.count);
    counts.push_back(report.emptyCount);
    return counts;
}

// The codes of the warnings about one prize (or the list as a whole, for
// nullopt), in order.
using Code = odds::WarningCode;
using Codes = std::vector<Code>;

inline Codes allCodesFor(const odds::OddsReport &report, std::optional<int> index)
{
    Codes codes;
    for (const auto &warning : report.warnings)
        if (warning.index == index)
            codes.push_back(warning.code);
    return codes;
}

// As allCodesFor, leaving out missing pictures, which lists made of weights alone all have.
inline Codes codesFor(const odds::OddsReport &report, std::optional<int> index)
{
    auto codes = allCodesFor(report, index);
    std::erase(codes, Code::PictureMissing);
    return codes;
}

inline bool hasCode(const odds::OddsReport &report, Code code)
{
    return std::any_of(report.warnings.begin(), report.warnings.end(),
                       [&](const odds::Warning &w) { return w.code == code; });
}

} // namespace testing_odds
