// prizeedit on Windows: the editor's window over the stand-in source, until
// the editing core is bound to it.
#include "demo_source.h"
#include "editor_window.h"
#include "i18n.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

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
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    i18n::setLanguage(i18n::systemLanguage());
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    editor_win32::DemoSource source(executableFolder(), dpi);
    editor_win32::EditorWindow window(source);
    window.table().currentRowChanged = [&](int row) {
        window.preview().showSlot(source.prizes(), std::clamp<int>(row, 0, source.prizes().prizeCount));
    };
    window.table().selectRows({0});
    window.preview().showSlot(source.prizes(), 0);
    ShowWindow(window.handle(), SW_SHOWDEFAULT);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.translateKeys(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CoUninitialize();
    return 0;
}
