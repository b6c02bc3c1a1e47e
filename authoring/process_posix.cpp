// Processes on Linux: the start time is field 22 of /proc/<pid>/stat.
#include "process.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string>

namespace authoring {

namespace {
// Clock ticks after boot; 0 where /proc cannot tell.
std::uint64_t startTimeOf(std::uint64_t number)
{
    std::ifstream in("/proc/" + std::to_string(number) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t name = stat.rfind(')'); // the program's name may hold spaces and brackets
    if (name == std::string::npos)
        return 0;
    std::istringstream fields(stat.substr(name + 2));
    std::string field;
    for (int at = 3; at < 22 && fields >> field; ++at) {
    }
    std::uint64_t started = 0;
    fields >> started;
    return started;
}
} // namespace

ProcessId thisProcess()
{
    const auto number = static_cast<std::uint64_t>(::getpid());
    return {number, startTimeOf(number)};
}

std::optional<ProcessId> runningProcess(std::uint64_t number)
{
    if (number == 0 || (::kill(static_cast<pid_t>(number), 0) != 0 && errno != EPERM))
        return std::nullopt;
    return ProcessId{number, startTimeOf(number)};
}

bool isRunning(const ProcessId &process)
{
    const auto running = runningProcess(process.number);
    return running && running->started == process.started;
}

} // namespace authoring
