// The floor for the Windows game's first frame: the smallest Windows API window
// with Chinese text, painted once. It stays up until it is closed, so that a
// script can see it mapped; the first paint's wall-clock time goes to standard
// output as Unix nanoseconds.
#include <windows.h>

#include <cstdio>

namespace {

long long realtimeNs()
{
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    const long long ticks100ns = (static_cast<long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr long long kUnixEpochIn100ns = 116444736000000000LL; // 1970-01-01 counted from 1601-01-01
    return (ticks100ns - kUnixEpochIn100ns) * 100;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static bool painted = false;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        // The game asks for its Chinese font the same way.
        const HFONT font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体");
        const HGDIOBJ old = SelectObject(dc, font);
        TextOutW(dc, 4, 4, L"试试手气", 4);
        SelectObject(dc, old);
        DeleteObject(font);
        EndPaint(window, &paint);
        if (!painted) {
            painted = true;
            std::printf("first_frame_realtime_ns %lld\n", realtimeNs());
            std::fflush(stdout);
        }
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int main()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"MinimalWindow";
    if (!RegisterClassW(&windowClass))
        return 1;
    const HWND window = CreateWindowExW(0, L"MinimalWindow", L"开奖", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                        200, 80, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
