// The reel's timer: timeSetEvent, one pending message at a time.
#include "tick_timer.h"

#include <mmsystem.h>

namespace window::win32 {

TickTimer::TickTimer(UINT message, UINT intervalMs) : message_(message), interval_(intervalMs) {}

TickTimer::~TickTimer() { stop(); }

bool TickTimer::start(HWND target)
{
    if (id_ != 0)
        return true;
    target_ = target;
    pending_ = false;
    id_ = timeSetEvent(interval_, 1, &TickTimer::fire, reinterpret_cast<DWORD_PTR>(this),
                       TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    return id_ != 0;
}

void TickTimer::stop()
{
    if (id_ == 0)
        return;
    // Synchronous: once this returns, no callback runs and none will.
    timeKillEvent(id_);
    id_ = 0;
}

bool TickTimer::take()
{
    pending_ = false;
    return id_ != 0;
}

void CALLBACK TickTimer::fire(UINT, UINT, DWORD_PTR self, DWORD_PTR, DWORD_PTR)
{
    auto *timer = reinterpret_cast<TickTimer *>(self);
    // A tick that is still waiting stands for this one too: ticks are counted
    // as the window runs them, and never pile up behind a slow frame.
    if (!timer->pending_.exchange(true))
        PostMessageW(timer->target_, timer->message_, 0, 0);
}

} // namespace window::win32
