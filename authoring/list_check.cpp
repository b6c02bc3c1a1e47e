// Judging a document with the odds report.
#include "list_check.h"

namespace authoring {

odds::PrizeList prizeListOf(const PrizeDocument &document, const std::filesystem::path &dataIni,
                            catalogue::PictureLoader &pictures)
{
    auto lines = document.lines();
    odds::PrizeList list = odds::readPrizeList(dataIni, *lines, pictures);
    // What the document could not carry over into its lines.
    list.read.recordsIgnored = list.read.recordsIgnored || document.readReport().recordsIgnored;
    list.looksUtf8WithoutMark = document.looksUtf8WithoutMark();
    return list;
}

odds::OddsReport checkDocument(const PrizeDocument &document, const std::filesystem::path &dataIni,
                               catalogue::PictureLoader &pictures)
{
    return odds::buildReport(prizeListOf(document, dataIni, pictures));
}

} // namespace authoring
