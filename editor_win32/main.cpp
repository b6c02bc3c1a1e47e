// prizeedit on Windows: the prize list editor. prizeedit [DATA_INI]; without
// a list it opens data.ini beside it, the list its game plays.
#include "editor_front_end.h"
#include "executable_folder.h"
#include "i18n.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <filesystem>

int main()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    i18n::setLanguage(i18n::systemLanguage());
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const std::filesystem::path folder = window::win32::executableFolder();

    int count = 0;
    LPWSTR *arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::filesystem::path list;
    if (arguments && count > 1)
        list = arguments[1];
    LocalFree(arguments);
    std::error_code error;
    if (list.empty() && std::filesystem::is_regular_file(folder / L"data.ini", error))
        list = folder / L"data.ini";

    {
        editor_win32::EditorFrontEnd editor(folder, dpi);
        ShowWindow(editor.window().handle(), SW_SHOWDEFAULT);
        // A list that cannot be read leaves a new one, nothing overwritten.
        if (!list.empty())
            editor.session().openList(list);
        else
            editor.session().offerRecoveredUntitled();
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (editor.window().translateKeys(message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    CoUninitialize();
    return 0;
}
