// Linux sets niceness per thread.
#include "thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace window {

void lowerThisThreadsPriority()
{
#ifdef __linux__
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
#endif
}

} // namespace window
