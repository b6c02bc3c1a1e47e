// Measures the running game on a display: when its first frame is on screen,
// when every picture is decoded, its peak memory, and how evenly and how
// cheaply Timer1 ticks through whole spins, started once the pictures are
// all decoded. Run by bench/run.sh and scripts/measure_timing.sh.
// Usage: window_timing DATA_FOLDER [SPINS]      (SPINS 0: no spin)
#include "allocation_count.h"
#include "first_frame.h"
#include "form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * double(values.size() - 1) + 0.5)];
}

double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

long peakResidentKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

// Counts what the tick handler allocates: counting starts as the timer event
// reaches Timer1, before its timeout runs Form1's handler, and stops in a
// slot connected after that handler.
class TickAllocations : public QObject {
public:
    long total = 0;
    long most = 0;
    long ticksThatAllocated = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Timer)
            bench::startCountingAllocations();
        return false;
    }
    void tickEnded()
    {
        const long made = bench::stopCountingAllocations();
        total += made;
        most = std::max(most, made);
        ticksThatAllocated += made > 0 ? 1 : 0;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_timing DATA_FOLDER [SPINS]\n");
        return 2;
    }
    const int spins = argc > 2 ? std::max(0, std::atoi(argv[2])) : 3;

    window::Form1 form(QFile::encodeName(QString::fromLocal8Bit(argv[1])).toStdString());
    bench::FirstFrame firstFrame;
    form.installEventFilter(&firstFrame);
    form.show();
    if (!form.loaded())
        return application.exec();

    // Off the user-interface thread, so that waiting changes nothing there.
    std::atomic<long long> decodedAtNs{0};
    std::thread decodedWatch([&] {
        form.pictureDecoding().waitUntilIdle();
        decodedAtNs = bench::realtimeNs();
    });

    QElapsedTimer clock;
    clock.start();
    std::vector<double> intervalsMs;
    std::vector<double> spinCpuMs;
    std::vector<double> spinWallMs;
    qint64 lastTickNs = -1;
    double spinStartCpuMs = 0;
    qint64 spinStartNs = 0;
    int spinsDone = 0;
    TickAllocations allocations;
    form.Timer1().installEventFilter(&allocations);

    const auto startSpin = [&] {
        spinStartCpuMs = processCpuMs();
        spinStartNs = clock.nsecsElapsed();
        form.Command1().click();
    };
    QObject::connect(&form.Timer1(), &QTimer::timeout, &form, [&] {
        allocations.tickEnded();
        const qint64 now = clock.nsecsElapsed();
        if (lastTickNs >= 0)
            intervalsMs.push_back(double(now - lastTickNs) / 1e6);
        lastTickNs = now;
        if (form.Timer1().isActive())
            return;
        // This tick stopped the reel.
        spinCpuMs.push_back(processCpuMs() - spinStartCpuMs);
        spinWallMs.push_back(double(now - spinStartNs) / 1e6);
        lastTickNs = -1;
        if (++spinsDone == spins)
            QTimer::singleShot(0, &application, &QCoreApplication::quit);
        else
            QTimer::singleShot(300, &form, startSpin);
    });

    // Spins start once the first frame is shown and every picture decoded.
    QTimer ready;
    QObject::connect(&ready, &QTimer::timeout, &form, [&] {
        if (firstFrame.atNs == 0 || decodedAtNs == 0)
            return;
        ready.stop();
        if (spins == 0)
            QTimer::singleShot(0, &application, &QCoreApplication::quit);
        else
            QTimer::singleShot(300, &form, startSpin);
    });
    ready.start(1);
    const int status = application.exec();
    decodedWatch.join();

    std::printf("first_frame_realtime_ns %lld\n", firstFrame.atNs);
    std::printf("decoded_realtime_ns %lld\n", decodedAtNs.load());
    std::printf("peak_rss_kb %ld\n", peakResidentKb());
    if (!intervalsMs.empty()) {
        std::printf("tick_intervals %zu over %d spins\n", intervalsMs.size(), spinsDone);
        std::printf("tick_interval_ms median %.3f p95 %.3f max %.3f\n", percentile(intervalsMs, 0.5),
                    percentile(intervalsMs, 0.95), percentile(intervalsMs, 1.0));
        std::printf("spin_ms median cpu %.1f wall %.1f\n", percentile(spinCpuMs, 0.5), percentile(spinWallMs, 0.5));
        if (bench::countingAllocations())
            std::printf("tick_allocations total %ld in_ticks %ld most_in_one_tick %ld\n", allocations.total,
                        allocations.ticksThatAllocated, allocations.most);
    }
    return status;
}
