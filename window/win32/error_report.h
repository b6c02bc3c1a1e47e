// The report of untrapped run-time errors on Windows: the error's number and
// text, and the end of the program.
#pragma once

#include "game_controller.h"

#include <string>

namespace window::win32 {

using window::ErrorReport;
using window::kRunTimeErrorExitStatus;

// The program's report: the line on standard error when the program has one,
// a message box "Run-time error '53':" / "File not found" that waits to be
// closed, then the event loop is asked to end with kRunTimeErrorExitStatus.
void reportRunTimeError(int number, const std::string &text);

} // namespace window::win32
