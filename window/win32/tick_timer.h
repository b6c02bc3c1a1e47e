// The reel's 5 ms timer for a window: a multimedia timer whose callback posts
// one message to the window, so that the tick itself runs on the window's
// thread. SetTimer cannot go below 10 to 16 ms.
#pragma once

#include <windows.h>

#include <atomic>

namespace window::win32 {

class TickTimer {
public:
    // Posts `message` every intervalMs while on; at most one such message is
    // ever waiting in the queue.
    TickTimer(UINT message, UINT intervalMs);
    ~TickTimer();
    TickTimer(const TickTimer &) = delete;
    TickTimer &operator=(const TickTimer &) = delete;

    // Starts posting to target; false when the system has no timer to give.
    bool start(HWND target);
    void stop();
    bool active() const { return id_ != 0; }

    // The window calls this first when it takes the message from its queue,
    // and runs the tick only if it returns true: a message posted just
    // before a stop finds the timer off and is dropped.
    bool take();

private:
    static void CALLBACK fire(UINT id, UINT, DWORD_PTR self, DWORD_PTR, DWORD_PTR);

    HWND target_ = nullptr;
    UINT message_;
    UINT interval_;
    UINT id_ = 0;
    std::atomic<bool> pending_{false};
};

} // namespace window::win32
