// Counts heap allocations made by one thread, Qt's and the C++ library's
// included, by standing in for malloc and its kin in the benchmark programs.
// Without the stand-ins (sanitizer builds bring their own) nothing is counted.
#pragma once

namespace bench {

// Whether this build counts at all.
bool countingAllocations();
// Starts counting the calling thread's allocations; only one thread at a time.
void startCountingAllocations();
// Stops, and returns how many allocations were made since the start.
long stopCountingAllocations();

} // namespace bench
