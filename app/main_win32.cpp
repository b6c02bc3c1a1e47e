// The program on Windows: the window and its message loop.
#include "error_report.h"
#include "executable_folder.h"
#include "form1.h"
#include "game_options.h"
#include "wide_text.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// What follows the program's name on its command line, in UTF-8.
std::vector<std::string> arguments()
{
    int count = 0;
    const std::unique_ptr<wchar_t *, decltype(&LocalFree)> wide(CommandLineToArgvW(GetCommandLineW(), &count),
                                                                &LocalFree);
    std::vector<std::string> utf8;
    for (int k = 1; wide && k < count; ++k)
        utf8.push_back(window::win32::narrow(wide.get()[k]));
    return utf8;
}

// A program without a console of its own writes to the console it was
// started from, in one call so that the console shows it whole; started
// from the desktop, it shows the text in a message box instead.
void tell(const std::string &text, bool failure)
{
    AttachConsole(ATTACH_PARENT_PROCESS);
    const HANDLE out = GetStdHandle(failure ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (out && out != INVALID_HANDLE_VALUE && WriteFile(out, text.data(), DWORD(text.size()), &written, nullptr))
        return;
    const std::wstring wide = window::win32::widen(text);
    MessageBoxW(nullptr, wide.c_str(), L"prizedraw", MB_OK | (failure ? MB_ICONERROR : MB_ICONINFORMATION));
}

} // namespace

int main()
{
    const app::GameOptions options = app::parseGameOptions(arguments());
    if (!options.error.empty()) {
        tell("prizedraw: " + options.error + "\n(prizedraw --help describes the options)\n", true);
        return app::kBadCommandLine;
    }
    if (options.help || options.version) {
        tell(options.help ? app::gameHelp() : app::gameVersion(), false);
        return 0;
    }
    // Also in the manifest; this covers a copy of the program without it.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // the imaging component, on this thread
    // data.ini and picture/ sit beside the executable.
    window::win32::Form1 form(window::win32::executableFolder(), nullptr, window::win32::reportRunTimeError,
                              window::DecodePool::kAllCores, 0, options.scale);
    if (!form.show())
        return window::win32::kRunTimeErrorExitStatus;
    if (options.fullScreen)
        form.game().setFullScreen(true);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return int(message.wParam);
}
