// The system's words for a Windows error code, for the Windows sources.
#pragma once

#include <string>

namespace authoring {

// FormatMessageW's text for error, in the system's language, as UTF-8 and
// without the closing full stop and line end: the C++ library gives them in
// the ANSI code page, GBK on a Chinese Windows, which shows as garbage.
std::string systemMessage(unsigned long error);

} // namespace authoring
