// Start-up in a folder, with the run-time error it ended with.
#pragma once

#include "fakes.h"
#include "startup.h"

#include <memory>

namespace fakes {
struct Outcome {
    int error = 0; // the run-time error start-up ended with, or 0
    std::unique_ptr<catalogue::Catalogue> prizes = std::make_unique<catalogue::Catalogue>();
    reel::HeadlessWindow window;
    FakePictureLoader pictures;
};

inline std::unique_ptr<Outcome> startUpIn(const TempFolder &folder)
{
    auto outcome = std::make_unique<Outcome>();
    reel::Mt19937Source random;
    try {
        reel::startUp(folder.path(), *outcome->prizes, outcome->pictures, random, outcome->window);
    } catch (const catalogue::RuntimeError &e) {
        outcome->error = e.number();
    }
    return outcome;
}
} // namespace fakes
