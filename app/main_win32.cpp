// The program on Windows: the window and its message loop.
#include "error_report.h"
#include "form1.h"

#include <windows.h>
#include <objbase.h>

#include <filesystem>
#include <string>

namespace {

// The folder of the running executable, whatever its length and characters.
std::filesystem::path executableFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return std::filesystem::path(path).parent_path();
}

} // namespace

int main()
{
    // Also in the manifest; this covers a copy of the program without it.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // the imaging component, on this thread
    // data.ini and picture/ sit beside the executable.
    window::win32::Form1 form(executableFolder());
    if (!form.show())
        return window::win32::kRunTimeErrorExitStatus;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return int(message.wParam);
}
