// The command line and the console on Windows: arguments from the wide
// command line, output in UTF-8 whether to a console or a file, and a
// console of the program's own that waits for a key before it closes.
#include "console.h"

#include "i18n.h"
#include "whole_messages.h"

#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <iostream>
#include <memory>

namespace odds {

namespace {
// One WriteFile per message, as many as a pipe that takes part of it needs.
WholeMessages::Write writerTo(DWORD which)
{
    return [handle = GetStdHandle(which)](std::string_view text) {
        while (!text.empty()) {
            DWORD written = 0;
            const auto size = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
            if (!WriteFile(handle, text.data(), size, &written, nullptr) || written == 0)
                return; // nowhere to write: the message is lost, as with the C library's streams
            text.remove_prefix(written);
        }
    };
}

std::string narrow(const wchar_t *wide)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.pop_back(); // the terminating NUL
    return text;
}

// Only this process on its console, and the console reads keys: Windows made
// it for a program started from Explorer. A command prompt shares its console,
// and a pipe or a file as input cannot be waited on.
bool consoleOfItsOwn()
{
    DWORD processes[2];
    DWORD mode = 0;
    return GetConsoleProcessList(processes, 2) == 1 && GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}
} // namespace

std::vector<std::string> utf8Arguments(int argc, char **argv)
{
    // A console shows the bytes written as UTF-8; redirected output is the
    // bytes as they are, never with a CR added before each LF (a CSV written
    // to standard output has CR LF already).
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    writeWholeMessages(writerTo(STD_OUTPUT_HANDLE), writerTo(STD_ERROR_HANDLE));
    int count = 0;
    const std::unique_ptr<wchar_t *, decltype(&LocalFree)> wide(CommandLineToArgvW(GetCommandLineW(), &count),
                                                                &LocalFree);
    if (!wide)
        return {argv, argv + argc};
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(narrow(wide.get()[i]));
    return arguments;
}

void useSystemLanguage() { i18n::setLanguage(i18n::systemLanguage()); }

bool isTerminal(std::FILE *stream) { return _isatty(_fileno(stream)) != 0; }

OwnConsole::OwnConsole() : alone_(consoleOfItsOwn()) {}

OwnConsole::~OwnConsole()
{
    if (!alone_)
        return;
    std::cout << "\n" << i18n::tr("Press any key to close.") << std::flush;
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    FlushConsoleInputBuffer(input); // keys pressed while the program ran
    INPUT_RECORD record;
    DWORD read = 0;
    while (ReadConsoleInputW(input, &record, 1, &read) && read == 1)
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown)
            return;
}

} // namespace odds
