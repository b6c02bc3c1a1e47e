// Measures the running game on a display: when its first frame is on screen
// (and the CPU time the user-interface thread took until then),
// when every picture is decoded, its peak memory, and how evenly and how
// cheaply Timer1 ticks through whole spins, started once the pictures are
// all decoded. Run by bench/run.sh and scripts/measure_timing.sh.
// With "early" instead of a spin count it runs two spins from the same card
// places on the same random numbers: one started at the first frame, while
// the pictures still decode, and the same one again once every picture is
// decoded.
// Usage: window_timing DATA_FOLDER [SPINS|early]      (SPINS 0: no spin)
#include "allocation_count.h"
#include "first_frame.h"
#include "form1.h"
#include "measures.h"
#include "random_source.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using bench::percentile;
using bench::processCpuMs;

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

// The game's generator, which can go back to a marked point so that a second
// spin draws the same numbers as the first.
class RewindableSource : public reel::RandomSource {
public:
    void randomize() override { engine_.randomize(); }
    float next() override { return engine_.next(); }
    void mark() { marked_ = engine_; }
    void rewind() { engine_ = marked_; }

private:
    reel::Mt19937Source engine_;
    reel::Mt19937Source marked_;
};

struct SpinRecord {
    std::vector<double> intervalsMs;
    double cpuMs = 0;
    double wallMs = 0;
};

void printSpin(const char *name, const SpinRecord &spin)
{
    std::printf("%s ticks %zu median %.3f p95 %.3f max %.3f wall %.1f cpu %.1f\n", name, spin.intervalsMs.size() + 1,
                percentile(spin.intervalsMs, 0.5), percentile(spin.intervalsMs, 0.95),
                percentile(spin.intervalsMs, 1.0), spin.wallMs, spin.cpuMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_timing DATA_FOLDER [SPINS|early]\n");
        return 2;
    }
    const bool early = argc > 2 && std::string(argv[2]) == "early";
    const int spins = early ? 2 : argc > 2 ? std::max(0, std::atoi(argv[2])) : 3;

    auto source = std::make_unique<RewindableSource>();
    RewindableSource &random = *source;
    window::Form1 form(QFile::encodeName(QString::fromLocal8Bit(argv[1])).toStdString(), std::move(source));
    std::function<void()> startSpin;
    std::array<float, window::Form1::kCards> markedLefts{};
    double frameCpuMs = 0; // the user-interface thread's own, which a loaded machine does not stretch
    bench::FirstFrame firstFrame([&] {
        timespec cpu{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
        frameCpuMs = double(cpu.tv_sec) * 1e3 + double(cpu.tv_nsec) / 1e6;
        if (early) {
            random.mark();
            for (int i = 0; i < form.cardCount(); ++i)
                markedLefts[std::size_t(i)] = form.left(i);
            startSpin();
        }
    });
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
    std::vector<SpinRecord> records;
    qint64 lastTickNs = -1;
    double spinStartCpuMs = 0;
    qint64 spinStartNs = 0;
    int spinsDone = 0;
    TickAllocations allocations;
    form.Timer1().installEventFilter(&allocations);

    startSpin = [&] {
        records.emplace_back();
        spinStartCpuMs = processCpuMs();
        spinStartNs = clock.nsecsElapsed();
        form.Command1().click();
    };
    // Waits for every picture to be decoded, then starts the marked spin again.
    QTimer quiet;
    QObject::connect(&quiet, &QTimer::timeout, &form, [&] {
        if (decodedAtNs == 0)
            return;
        quiet.stop();
        random.rewind();
        for (int i = 0; i < form.cardCount(); ++i)
            form.setLeft(i, markedLefts[std::size_t(i)]);
        QTimer::singleShot(300, &form, startSpin);
    });
    QObject::connect(&form.Timer1(), &QTimer::timeout, &form, [&] {
        allocations.tickEnded();
        const qint64 now = clock.nsecsElapsed();
        if (lastTickNs >= 0) {
            intervalsMs.push_back(double(now - lastTickNs) / 1e6);
            records.back().intervalsMs.push_back(intervalsMs.back());
        }
        lastTickNs = now;
        if (form.Timer1().isActive())
            return;
        // This tick stopped the reel.
        spinCpuMs.push_back(processCpuMs() - spinStartCpuMs);
        spinWallMs.push_back(double(now - spinStartNs) / 1e6);
        records.back().cpuMs = spinCpuMs.back();
        records.back().wallMs = spinWallMs.back();
        lastTickNs = -1;
        if (++spinsDone == spins)
            QTimer::singleShot(0, &application, &QCoreApplication::quit);
        else if (early)
            quiet.start(1);
        else
            QTimer::singleShot(300, &form, startSpin);
    });

    // Spins start once the first frame is shown and every picture decoded;
    // an early spin has started at the first frame.
    QTimer ready;
    QObject::connect(&ready, &QTimer::timeout, &form, [&] {
        if (firstFrame.atNs == 0 || decodedAtNs == 0)
            return;
        ready.stop();
        if (early)
            return;
        if (spins == 0)
            QTimer::singleShot(0, &application, &QCoreApplication::quit);
        else
            QTimer::singleShot(300, &form, startSpin);
    });
    ready.start(1);
    const int status = application.exec();
    decodedWatch.join();

    std::printf("first_frame_realtime_ns %lld\n", firstFrame.atNs);
    std::printf("first_frame_thread_cpu_ms %.2f\n", frameCpuMs);
    std::printf("decoded_realtime_ns %lld\n", decodedAtNs.load());
    std::printf("peak_rss_kb %ld\n", peakResidentKb());
    if (!intervalsMs.empty()) {
        std::printf("tick_intervals %zu over %d spins\n", intervalsMs.size(), spinsDone);
        std::printf("tick_interval_ms median %.3f p95 %.3f max %.3f\n", percentile(intervalsMs, 0.5),
                    percentile(intervalsMs, 0.95), percentile(intervalsMs, 1.0));
        std::printf("spin_ms median cpu %.1f wall %.1f\n", percentile(spinCpuMs, 0.5), percentile(spinWallMs, 0.5));
        if (early && records.size() == 2) {
            printSpin("early_spin", records[0]);
            printSpin("quiet_spin", records[1]);
        }
        if (bench::countingAllocations())
            std::printf("tick_allocations total %ld in_ticks %ld most_in_one_tick %ld\n", allocations.total,
                        allocations.ticksThatAllocated, allocations.most);
    }
    return status;
}
