// Text for a terminal whose locale is not UTF-8, on the systems with iconv.
#pragma once

#include <string>
#include <string_view>

namespace odds {

// utf8 in the terminal's character set codeset, as nl_langinfo(CODESET)
// names it ("GB18030", "ISO-8859-1"); a character the set lacks becomes its
// nearest ASCII or "?". An unknown set leaves the text as it is.
std::string forTerminal(std::string_view utf8, const std::string &codeset);

} // namespace odds
