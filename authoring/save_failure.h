// What a failed save tells the user, on every platform: what went wrong, and
// what is on disk now.
#pragma once

#include <string>

namespace authoring {

struct SaveState {
    enum class Found { Unknown, Nothing, Link, File, Other }; // at the path asked for; Link: to nothing yet
    // Replaced: the new file is in place; BackupMade: and the old one is the backup.
    enum class Stage { NothingWritten, Replaced, BackupMade };

    std::string shown; // the file as the user named it (and what a link names)
    Found found = Found::Unknown;
    Stage stage = Stage::NothingWritten;
    bool keepBackup = false; // an old file is kept as backupPath before it is replaced
    std::string backupPath;

    bool oldFileThere() const { return found == Found::File || found == Found::Other; }
};

// Advice for a file the save refuses to touch.
std::string makeWritableAdvice();

// what: the step that failed; reason: the system's words for it, if any.
[[noreturn]] void throwSaveFailure(const SaveState &state, const std::string &what, const std::string &reason = {},
                                   const std::string &advice = {});

} // namespace authoring
