// The console of a tool started by a double click: one of its own, which waits for a key.
#include "console.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

namespace {

TEST(OwnConsole, AConsoleMadeForThisProcessAloneWaitsForAKeyBeforeTheProgramEnds)
{
    // What Windows does for a console program started from Explorer.
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    const HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(input, INVALID_HANDLE_VALUE);
    SetStdHandle(STD_INPUT_HANDLE, input);

    std::atomic<bool> waited = false;
    int pressed = 0;
    {
        // Keys until the wait is over: it drops those pressed before it began.
        std::jthread presser([&] {
            INPUT_RECORD key{};
            key.EventType = KEY_EVENT;
            key.Event.KeyEvent.bKeyDown = TRUE;
            key.Event.KeyEvent.wRepeatCount = 1;
            key.Event.KeyEvent.wVirtualKeyCode = VK_SPACE;
            key.Event.KeyEvent.uChar.UnicodeChar = L' ';
            while (!waited) {
                DWORD written = 0;
                if (WriteConsoleInputW(input, &key, 1, &written))
                    pressed += int(written);
                Sleep(20);
            }
        });
        struct AfterTheWait {
            std::atomic<bool> &waited;
            ~AfterTheWait() { waited = true; }
        } const afterTheWait{waited};
        const odds::OwnConsole console;
        EXPECT_TRUE(console);
    }
    // The wait read a key, having dropped those pressed before it: fewer are left than were pressed.
    DWORD left = 0;
    GetNumberOfConsoleInputEvents(input, &left);
    EXPECT_LT(int(left), pressed);
    CloseHandle(input);
    FreeConsole();
}

} // namespace
