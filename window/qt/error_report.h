// The report of untrapped run-time errors: the error's number and text, and
// the end of the program.
#pragma once

#include <QString>

#include <functional>

namespace window {

// Where a handler sends the run-time error that nothing trapped.
using ErrorReport = std::function<void(int number, const QString &text)>;

inline constexpr int kRunTimeErrorExitStatus = 1;

// "Run-time error '53': File not found"
QString runTimeErrorLine(int number, const QString &text);

// Whether a message box can be seen by anyone: false without an application
// or on the offscreen and minimal platforms, where a modal box would wait
// for a click that can never come.
bool hasVisibleDisplay();

// The program's report: the line on standard error; a message box with the
// number and text where a display can show one, waiting for it to close;
// then the event loop is asked to end with kRunTimeErrorExitStatus (at once
// when it is running, as soon as it starts otherwise). Without any
// application it exits the process straight away.
void reportRunTimeError(int number, const QString &text);

} // namespace window
