// Folder access on Windows, answered by making a file there: a folder's
// read-only attribute does not stop that (Explorer sets it on folders it
// customises), and only the system knows how the access rights, the share
// and the medium combine.
#include "folder_access.h"

#include <windows.h>

#include <string>

namespace authoring {

bool canWriteIn(const std::filesystem::path &folder)
{
    // Hidden, and deleted when closed, even if this process ends first; a
    // name of this process's own, so that two checks never meet.
    const std::wstring stem = L".prizedraw-check-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::filesystem::path probe = folder / (stem + std::to_wstring(attempt) + L".tmp");
        const HANDLE file =
            CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

} // namespace authoring
