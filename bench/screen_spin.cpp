// Whole spins of the game in its window or in full screen, on the display it
// is given: tick intervals, the time each frame takes to paint and reach the
// screen, ticks per spin, and the CPU share of a core. Run by bench/fullscreen.sh.
// Usage: screen_spin DATA_FOLDER SPINS [full]
#include "form1.h"
#include "measures.h"
#include "random_source.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

using bench::percentile;
using bench::processCpuMs;

// Times each frame of the window: the update request that paints every dirty
// widget into the backing store and flushes it to the screen.
class FrameTimes : public QObject {
public:
    explicit FrameTimes(QWidget &window) : window_(window) {}
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != &window_ || event->type() != QEvent::UpdateRequest || !recording)
            return false;
        QElapsedTimer paint;
        paint.start();
        static_cast<QObject &>(window_).event(event); // the widget's own handling, timed
        framesMs.push_back(double(paint.nsecsElapsed()) / 1e6);
        return true;
    }
    bool recording = false;
    std::vector<double> framesMs;

private:
    QWidget &window_;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: screen_spin DATA_FOLDER SPINS [full]\n");
        return 2;
    }
    const int spins = std::max(1, std::atoi(argv[2]));
    const bool full = argc > 3 && std::string(argv[3]) == "full";

    window::Form1 form(QFile::encodeName(QString::fromLocal8Bit(argv[1])).toStdString(),
                       std::make_unique<reel::Mt19937Source>(2024));
    FrameTimes frames(form);
    form.installEventFilter(&frames);
    form.show();
    if (!form.loaded())
        return 1;
    if (full)
        form.game().setFullScreen(true);

    QElapsedTimer clock;
    clock.start();
    std::vector<double> intervalsMs;
    std::vector<int> ticksPerSpin;
    qint64 lastTickNs = -1;
    int ticks = 0;
    int spinsDone = 0;
    double cpuMs = 0, wallMs = 0, spinCpuStart = 0;
    qint64 spinWallStart = 0;

    const auto startSpin = [&] {
        frames.recording = true;
        spinCpuStart = processCpuMs();
        spinWallStart = clock.nsecsElapsed();
        form.Command1().click();
    };
    QObject::connect(&form.Timer1(), &QTimer::timeout, &form, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (lastTickNs >= 0)
            intervalsMs.push_back(double(now - lastTickNs) / 1e6);
        lastTickNs = now;
        ++ticks;
        if (form.game().spinning())
            return;
        cpuMs += processCpuMs() - spinCpuStart;
        wallMs += double(now - spinWallStart) / 1e6;
        ticksPerSpin.push_back(ticks);
        ticks = 0;
        lastTickNs = -1;
        frames.recording = false;
        if (++spinsDone == spins)
            QTimer::singleShot(0, &application, &QCoreApplication::quit);
        else
            QTimer::singleShot(300, &form, startSpin);
    });
    // Once the window has settled and every picture is decoded.
    QTimer::singleShot(1500, &form, [&] {
        form.pictureDecoding().waitUntilIdle();
        startSpin();
    });
    const int status = application.exec();

    std::printf("mode %s screen %dx%d dpi %.2f\n", full ? "full" : "window", form.QWidget::width(),
                form.QWidget::height(), form.dpi());
    std::printf("tick_ms median %.3f p95 %.3f\n", percentile(intervalsMs, 0.5), percentile(intervalsMs, 0.95));
    std::printf("paint_ms median %.3f p95 %.3f frames %zu\n", percentile(frames.framesMs, 0.5),
                percentile(frames.framesMs, 0.95), frames.framesMs.size());
    std::printf("ticks_per_spin min %d max %d\n", *std::min_element(ticksPerSpin.begin(), ticksPerSpin.end()),
                *std::max_element(ticksPerSpin.begin(), ticksPerSpin.end()));
    std::printf("cpu_share %.1f\n", wallMs > 0 ? 100 * cpuMs / wallMs : 0);
    return status;
}
