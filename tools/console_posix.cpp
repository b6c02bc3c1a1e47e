// The command line and the console where both are bytes in UTF-8 already.
#include "console.h"

#include "i18n.h"

#include <clocale>
#include <libintl.h>

#include <unistd.h>

namespace odds {

std::vector<std::string> utf8Arguments(int argc, char **argv) { return {argv, argv + argc}; }

void useSystemLanguage()
{
    i18n::setLanguage(i18n::systemLanguage());
    // Messages only, in UTF-8 whatever the character type: numbers stay as
    // the C locale writes them.
    if (i18n::language() == i18n::Language::SimplifiedChinese) {
        std::setlocale(LC_MESSAGES, "");
        bind_textdomain_codeset("libc", "UTF-8");
    }
}

bool isTerminal(std::FILE *stream) { return isatty(fileno(stream)) != 0; }

} // namespace odds
