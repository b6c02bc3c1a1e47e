// How file names compare on the platform the game runs on: on Windows two
// names that differ only in letter case open the same file.
#pragma once

#include <string>
#include <string_view>

namespace catalogue {

// utf8 with every letter in upper case by its simple one-to-one mapping, as
// Windows compares file names: Latin, Greek, Cyrillic, Armenian, full-width
// and circled letters, Roman numerals. Anything else, invalid bytes too, is
// kept as it is.
std::string upperCaseFold(std::string_view utf8);

// The form under which this platform's file system takes two names for one
// file: the name itself, or on Windows its upper-case fold.
std::string fileNameKey(std::string_view utf8);

} // namespace catalogue
