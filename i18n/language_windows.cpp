// The user's language from Windows' display language.
#include "i18n.h"

#include <windows.h>

namespace i18n {

Language systemLanguage() { return languageOfWindowsId(GetUserDefaultUILanguage()); }

} // namespace i18n
