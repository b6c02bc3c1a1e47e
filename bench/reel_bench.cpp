// The draw and the tick, per call, for a small and a full prize list.
#include "draw.h"
#include "headless_window.h"
#include "spin.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {
std::unique_ptr<catalogue::Catalogue> equalPrizes(int count)
{
    auto prizes = std::make_unique<catalogue::Catalogue>();
    for (int k = 0; k < count; ++k) {
        auto &prize = prizes->prize(k);
        prize.pr = std::to_string(100.0 / count);
        prize.color = "65280";
        prize.name = "奖品" + std::to_string(k);
        prize.amount = "1";
    }
    prizes->prizeCount = static_cast<std::int16_t>(count);
    catalogue::cumulativePass(*prizes);
    return prizes;
}

void Newreset(benchmark::State &state)
{
    auto prizes = equalPrizes(static_cast<int>(state.range(0)));
    reel::HeadlessWindow window;
    reel::Mt19937Source random(1);
    for (auto _ : state)
        reel::Newreset(window, 0, *prizes, random);
}
BENCHMARK(Newreset)->Arg(4)->Arg(1000);

// One tick of a running spin, wraps and refills included as they come.
void Tick(benchmark::State &state)
{
    auto prizes = equalPrizes(static_cast<int>(state.range(0)));
    reel::HeadlessWindow window;
    reel::Mt19937Source random(1);
    reel::Spin spin(window, random, *prizes);
    spin.start();
    for (auto _ : state) {
        if (!window.timerOn)
            spin.start();
        spin.tick();
    }
}
BENCHMARK(Tick)->Arg(4)->Arg(1000);
} // namespace

BENCHMARK_MAIN();
