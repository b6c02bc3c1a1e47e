// The option parser's errors in the user's language.
#pragma once

#include <exception>
#include <string>

namespace odds {

// What went wrong on the command line, for the parser's own errors (unknown
// option, missing value, ...) worded by us and translated; any other
// exception's own text.
std::string optionErrorText(const std::exception &error);

// The argument parser's help with its "Usage:" heading in the user's language.
std::string translatedHelp(std::string help);

} // namespace odds
