// Whole spins of the Windows game in its window or in full screen: tick
// intervals, the time each WM_PAINT takes (the whole frame drawn into the
// bitmap and copied to the screen), ticks per spin, and the CPU share of a
// core. The Windows peer of screen_spin; run by bench/fullscreen.sh.
// Usage: screen_spin_win32 DATA_FOLDER SPINS [full]
#include "form1.h"
#include "random_source.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * double(values.size() - 1) + 0.5)];
}

double msBetween(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double processCpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ms = [](FILETIME t) { return double((ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: screen_spin_win32 DATA_FOLDER SPINS [full]\n");
        return 2;
    }
    const int spins = std::max(1, std::atoi(argv[2]));
    const bool full = argc > 3 && std::string(argv[3]) == "full";
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    window::win32::Form1 form(argv[1], std::make_unique<reel::Mt19937Source>(2024));
    if (!form.show())
        return 1;
    if (full)
        form.game().setFullScreen(true);

    std::vector<double> intervalsMs, paintMs;
    std::vector<int> ticksPerSpin;
    double cpuMs = 0, wallMs = 0, spinCpuStart = 0;
    Clock::time_point spinStart, lastTick;
    bool haveLastTick = false, spinning = false, recording = false;
    int spinsDone = 0;
    long ticksAtStart = 0;
    const Clock::time_point settle = Clock::now() + std::chrono::milliseconds(1500);
    Clock::time_point nextStart = settle;

    MSG message;
    while (spinsDone < spins) {
        if (!spinning && Clock::now() >= nextStart) {
            form.pictureDecoding().waitUntilIdle();
            spinning = recording = true;
            spinCpuStart = processCpuMs();
            spinStart = Clock::now();
            ticksAtStart = form.ticksRun();
            form.game().click();
        }
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
            continue;
        }
        if (message.message == WM_QUIT)
            break;
        const long ticksBefore = form.ticksRun();
        const Clock::time_point before = Clock::now();
        TranslateMessage(&message);
        DispatchMessageW(&message);
        const Clock::time_point after = Clock::now();
        if (message.message == WM_PAINT && recording)
            paintMs.push_back(msBetween(before, after));
        if (form.ticksRun() == ticksBefore || !spinning)
            continue;
        if (haveLastTick)
            intervalsMs.push_back(msBetween(lastTick, before));
        lastTick = before;
        haveLastTick = true;
        if (form.game().spinning())
            continue;
        spinning = haveLastTick = recording = false;
        cpuMs += processCpuMs() - spinCpuStart;
        wallMs += msBetween(spinStart, after);
        ticksPerSpin.push_back(int(form.ticksRun() - ticksAtStart));
        ++spinsDone;
        nextStart = after + std::chrono::milliseconds(300);
    }

    RECT client;
    GetClientRect(form.handle(), &client);
    std::printf("mode %s screen %ldx%ld dpi %.2f\n", full ? "full" : "window", client.right, client.bottom, form.dpi());
    std::printf("tick_ms median %.3f p95 %.3f\n", percentile(intervalsMs, 0.5), percentile(intervalsMs, 0.95));
    std::printf("paint_ms median %.3f p95 %.3f frames %zu\n", percentile(paintMs, 0.5), percentile(paintMs, 0.95),
                paintMs.size());
    if (!ticksPerSpin.empty())
        std::printf("ticks_per_spin min %d max %d\n", *std::min_element(ticksPerSpin.begin(), ticksPerSpin.end()),
                    *std::max_element(ticksPerSpin.begin(), ticksPerSpin.end()));
    std::printf("cpu_share %.1f\n", wallMs > 0 ? 100 * cpuMs / wallMs : 0);
    std::fflush(stdout);
    return 0;
}
