// The run-time error report: standard error, a message box, exit status 1.
#include "error_report.h"

#include "wide_text.h"

#include <windows.h>

namespace window::win32 {

std::string runTimeErrorLine(int number, const std::string &text)
{
    return "Run-time error '" + std::to_string(number) + "': " + text;
}

void reportRunTimeError(int number, const std::string &text)
{
    // A program of the windows subsystem has standard error only when it was
    // started with one (redirected, or from a console that passed it on).
    if (const HANDLE err = GetStdHandle(STD_ERROR_HANDLE); err && err != INVALID_HANDLE_VALUE) {
        const std::string line = runTimeErrorLine(number, text) + "\n";
        DWORD written = 0;
        WriteFile(err, line.data(), DWORD(line.size()), &written, nullptr);
    }
    const std::wstring message = widen("Run-time error '" + std::to_string(number) + "':\n\n" + text);
    MessageBoxW(nullptr, message.c_str(), L"Run-time error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    PostQuitMessage(kRunTimeErrorExitStatus);
}

} // namespace window::win32
