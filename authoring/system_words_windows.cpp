// The system's words for a failed read on Windows, from FormatMessageW.
#include "system_words.h"
#include "system_words_windows.h"

#include "i18n.h"

#include <windows.h>

namespace authoring {

std::string systemMessage(unsigned long error)
{
    wchar_t *buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                       nullptr, error, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                             text.back() == L'.' || text.back() == L'\u3002'))
        text.pop_back();
    if (text.empty())
        return i18n::tr("system error {0}", error);
    return std::filesystem::path(text).string(); // the C++ library's narrow paths are UTF-8 here
}

std::string whyUnreadable(const std::filesystem::path &file)
{
    const HANDLE handle =
        CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD error = handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (handle != INVALID_HANDLE_VALUE) {
        char byte = 0;
        DWORD read = 0;
        if (!ReadFile(handle, &byte, 1, &read, nullptr))
            error = GetLastError();
        CloseHandle(handle);
    }
    return error != 0 ? systemMessage(error) : i18n::tr("the system gives no reason");
}

} // namespace authoring
