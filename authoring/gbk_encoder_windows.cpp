// UTF-8 to GBK through Windows' code page 936, never a look-alike or a
// default character in place of one it cannot hold.
#include "gbk_encoder.h"

#include <windows.h>

namespace authoring {

GbkEncoder::GbkEncoder() : converter_(nullptr) {}

GbkEncoder::~GbkEncoder() = default;

std::optional<std::string> GbkEncoder::convert(std::string_view utf8)
{
    if (utf8.empty())
        return std::string();
    const int size = static_cast<int>(utf8.size());
    const int wideSize = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (wideSize <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), wideSize);

    BOOL usedDefault = FALSE;
    const int gbkSize =
        WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, nullptr, 0, nullptr, &usedDefault);
    if (gbkSize <= 0 || usedDefault)
        return std::nullopt;
    std::string gbk(static_cast<std::size_t>(gbkSize), '\0');
    WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, gbk.data(), gbkSize, nullptr, &usedDefault);
    return gbk;
}

} // namespace authoring
