// The report of untrapped run-time errors on Windows: the error's number and
// text, and the end of the program.
#pragma once

#include <functional>
#include <string>

namespace window::win32 {

// Where a handler sends the run-time error that nothing trapped; text in UTF-8.
using ErrorReport = std::function<void(int number, const std::string &text)>;

inline constexpr int kRunTimeErrorExitStatus = 1;

// "Run-time error '53': File not found"
std::string runTimeErrorLine(int number, const std::string &text);

// The program's report: the line on standard error when the program has one,
// a message box "Run-time error '53':" / "File not found" that waits to be
// closed, then the event loop is asked to end with kRunTimeErrorExitStatus.
void reportRunTimeError(int number, const std::string &text);

} // namespace window::win32
