// Letter case as Windows file names ignore it: there two names that differ
// only in case open the same file (platform::fileNamesIgnoreCase says where).
#pragma once

#include <string>
#include <string_view>

namespace catalogue {

// utf8 with every letter in upper case by its simple one-to-one mapping, as
// Windows compares file names: Latin, Greek, Cyrillic, Armenian, full-width
// and circled letters, Roman numerals. Anything else, invalid bytes too, is
// kept as it is.
std::string upperCaseFold(std::string_view utf8);

} // namespace catalogue
