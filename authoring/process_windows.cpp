// Processes on Windows: the start time is the process's creation time.
#include "process.h"

#include <windows.h>

namespace authoring {

namespace {
std::uint64_t asNumber(const FILETIME &time) { return (std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime; }
} // namespace

ProcessId thisProcess()
{
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return {GetCurrentProcessId(), asNumber(created)};
}

std::optional<ProcessId> runningProcess(std::uint64_t number)
{
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(number));
    if (process == nullptr)
        return std::nullopt;
    FILETIME created{}, exited{}, kernel{}, user{};
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE &&
                         GetProcessTimes(process, &created, &exited, &kernel, &user);
    CloseHandle(process);
    if (!running)
        return std::nullopt;
    return ProcessId{number, asNumber(created)};
}

bool isRunning(const ProcessId &process)
{
    const auto running = runningProcess(process.number);
    return running && running->started == process.started;
}

} // namespace authoring
