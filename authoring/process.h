// Which program is running: a process number and the time it started, so
// that a number the system has given to another program since is told apart.
#pragma once

#include <cstdint>
#include <optional>

namespace authoring {

struct ProcessId {
    std::uint64_t number = 0;
    std::uint64_t started = 0; // in the system's own unit, only compared
    bool operator==(const ProcessId &) const = default;
};

ProcessId thisProcess();
// The process of that number, if one runs.
std::optional<ProcessId> runningProcess(std::uint64_t number);
// The process is still the one that was running.
bool isRunning(const ProcessId &process);

} // namespace authoring
