// Judging a document with the odds report.
#include "list_check.h"

namespace odds {

PrizeList prizeListOf(const authoring::PrizeDocument &document, const std::filesystem::path &dataIni,
                      catalogue::PictureLoader &pictures, PictureSizes *sizes, const FolderSnapshot *listed)
{
    auto lines = document.lines();
    PrizeList list = readPrizeList(dataIni, *lines, pictures, sizes, listed);
    // What the document could not carry over into its lines.
    list.read.recordsIgnored = list.read.recordsIgnored || document.readReport().recordsIgnored;
    list.looksUtf8WithoutMark = document.looksUtf8WithoutMark();
    list.markAddedAtSave = document.markAddedAtSave();
    return list;
}

OddsReport checkDocument(const authoring::PrizeDocument &document, const std::filesystem::path &dataIni,
                         catalogue::PictureLoader &pictures, window::TextMeasure *measure)
{
    return buildReport(prizeListOf(document, dataIni, pictures), measure);
}

} // namespace odds
