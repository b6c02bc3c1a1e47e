// The picture the odds sheet embeds, for the tests of each platform's picture judge.
#pragma once

#include "fakes.h"
#include "game_pictures.h"
#include "prize_odds.h"
#include "render_html.h"

#include <string>

// The base64 text of the first JPEG that the sheet of the folder's data.ini
// embeds, the pictures judged by this build's game; empty when there is none.
inline std::string sheetJpegBase64(const fakes::TempFolder &folder)
{
    const auto loader = odds::gamePictureLoader();
    const std::string html =
        odds::renderHtml(odds::buildReport(odds::loadPrizeList(folder.path() / "data.ini", *loader)));
    const std::string uri = "data:image/jpeg;base64,";
    const auto start = html.find(uri);
    if (start == std::string::npos)
        return {};
    const auto end = html.find('"', start);
    return html.substr(start + uri.size(), end - start - uri.size());
}
