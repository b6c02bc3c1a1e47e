// When a window's first frame is on screen, as wall-clock time, so that a
// script can set it against the moment it started the process.
#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace bench {

inline long long realtimeNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Install on a top-level window before showing it. Qt paints the whole
// window into its backing store and flushes that to the screen before it
// handles the next posted event, so the time is taken there.
class FirstFrame : public QObject {
public:
    explicit FirstFrame(std::function<void()> shown = {}) : shown_(std::move(shown)) {}
    long long atNs = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !pending_) {
            pending_ = true;
            QTimer::singleShot(0, this, [this] {
                atNs = realtimeNs();
                if (shown_)
                    shown_();
            });
        }
        return false;
    }

private:
    std::function<void()> shown_;
    bool pending_ = false;
};

} // namespace bench
