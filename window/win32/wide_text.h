// UTF-8 to the Windows API's wide strings, at the API's edge only.
#pragma once

#include <string>
#include <string_view>

namespace window::win32 {

// Invalid UTF-8 becomes U+FFFD, as it would on the other front end.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

} // namespace window::win32
