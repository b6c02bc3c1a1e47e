// The running executable's folder, from its module's file name.
#include "executable_folder.h"

#include <windows.h>

#include <string>

namespace window::win32 {

std::filesystem::path executableFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2); // cut short: a longer path
    }
    return std::filesystem::path(path).parent_path();
}

} // namespace window::win32
