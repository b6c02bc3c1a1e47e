// Windows sets a priority per thread.
#include "thread_priority.h"

#include <windows.h>

namespace window {

void lowerThisThreadsPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

} // namespace window
