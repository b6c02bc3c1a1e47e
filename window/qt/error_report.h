// The report of untrapped run-time errors: the error's number and text, and
// the end of the program.
#pragma once

#include "game_controller.h"

#include <string>

namespace window {

// Whether a message box can be seen by anyone: false without an application
// or on the offscreen and minimal platforms, where a modal box would wait
// for a click that can never come.
bool hasVisibleDisplay();

// The program's report (an ErrorReport): the line on standard error; a
// message box with the number and text where a display can show one, waiting
// for it to close; then the event loop is asked to end with
// kRunTimeErrorExitStatus (at once when it is running, as soon as it starts
// otherwise). Without any application it exits the process straight away.
void reportRunTimeError(int number, const std::string &text);

} // namespace window
