// A fuzz target's assertion: a failed check stops the run as a crash that
// libFuzzer records, in every build type.
#pragma once

#include <cstdlib>

inline void check(bool condition)
{
    if (!condition)
        std::abort();
}
