// Worker threads below the user-interface thread, so that painting and the
// 5 ms tick win the core whenever they want it.
#pragma once

namespace window {

// Lowers the calling thread's priority; where the platform cannot, nothing.
void lowerThisThreadsPriority();

} // namespace window
