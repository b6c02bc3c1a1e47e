// Measures the running game: when the first frame is on screen, and how
// evenly Timer1 ticks through whole spins. Run by scripts/measure_timing.sh.
// Usage: window_timing DATA_FOLDER [SPINS]
#include "form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <vector>

namespace {

long long realtimeNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Notes the end of the window's first paint, which Qt flushes to the screen
// before it handles the next event.
class FirstFrame : public QObject {
public:
    long long atNs = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && atNs == 0)
            QTimer::singleShot(0, this, [this] { atNs = realtimeNs(); });
        return false;
    }
};

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * double(values.size() - 1) + 0.5);
    return values[index];
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_timing DATA_FOLDER [SPINS]\n");
        return 2;
    }
    const int spins = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

    window::Form1 form(QFile::encodeName(QString::fromLocal8Bit(argv[1])).toStdString());
    FirstFrame firstFrame;
    form.installEventFilter(&firstFrame);
    form.show();
    if (!form.loaded())
        return application.exec();

    QElapsedTimer clock;
    clock.start();
    std::vector<double> intervalsMs;
    qint64 lastTickNs = -1;
    int spinsDone = 0;
    QObject::connect(&form.Timer1(), &QTimer::timeout, &form, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (lastTickNs >= 0)
            intervalsMs.push_back(double(now - lastTickNs) / 1e6);
        lastTickNs = now;
        if (!form.Timer1().isActive()) { // this tick stopped the reel
            lastTickNs = -1;
            if (++spinsDone == spins)
                QTimer::singleShot(0, &application, &QCoreApplication::quit);
            else
                QTimer::singleShot(300, &form.Command1(), &QAbstractButton::click);
        }
    });
    QTimer::singleShot(500, &form.Command1(), &QAbstractButton::click);
    const int status = application.exec();

    std::printf("first_frame_realtime_ns %lld\n", firstFrame.atNs);
    if (!intervalsMs.empty()) {
        std::printf("tick_intervals %zu over %d spins\n", intervalsMs.size(), spins);
        std::printf("tick_interval_ms median %.3f p95 %.3f max %.3f\n", percentile(intervalsMs, 0.5),
                    percentile(intervalsMs, 0.95), percentile(intervalsMs, 1.0));
    }
    return status;
}
