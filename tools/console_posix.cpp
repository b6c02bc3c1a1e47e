// The command line and the console where both are bytes in UTF-8 already.
#include "console.h"

#include <unistd.h>

namespace odds {

std::vector<std::string> utf8Arguments(int argc, char **argv) { return {argv, argv + argc}; }

bool isTerminal(std::FILE *stream) { return isatty(fileno(stream)) != 0; }

} // namespace odds
