// The command line and the console in UTF-8 on every platform
// (console_<platform>.cpp).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace odds {

// The program's arguments as UTF-8, and std::cout and std::cerr set to write
// each message whole: UTF-8 bytes as they are to a file or a pipe, and to a
// terminal in its own encoding (a GB18030 terminal on Linux gets GB18030).
// On Windows argv is in the ANSI code page, which loses Chinese, so the
// arguments come from the wide command line there.
std::vector<std::string> utf8Arguments(int argc, char **argv);

// Sets the texts' language to the user's. On Linux the C library's own
// words, such as why a file could not be made, then follow it where it is
// Chinese and the system has them; on Windows they are in the system's
// language already.
void useSystemLanguage();

// Whether stream writes to a terminal, where progress may rewrite its line.
bool isTerminal(std::FILE *stream);

// A console that Windows made for this program alone, as for a double click
// in Explorer, closes the moment the program ends and takes what it printed
// with it. While an OwnConsole lives, such a console asks for a key before the
// program ends. From a command prompt, a pipe, or on Linux it does nothing.
class OwnConsole {
public:
    OwnConsole();
    ~OwnConsole();
    OwnConsole(const OwnConsole &) = delete;
    OwnConsole &operator=(const OwnConsole &) = delete;

    // Whether the program was started so: with no command line, it shows its help.
    explicit operator bool() const { return alone_; }

private:
    bool alone_;
};

// argv-style pointers into arguments, for an argument parser; valid while
// arguments lives.
inline std::vector<char *> argumentPointers(std::vector<std::string> &arguments)
{
    std::vector<char *> pointers;
    for (std::string &argument : arguments)
        pointers.push_back(argument.data());
    return pointers;
}

} // namespace odds
