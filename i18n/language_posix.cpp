// The user's language from the locale variables.
#include "i18n.h"

#include <cstdlib>

namespace i18n {

Language systemLanguage()
{
    return languageOfEnvironment([](const char *name) { return std::getenv(name); });
}

} // namespace i18n
