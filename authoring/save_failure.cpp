// The wording of a failed save, shared by the platforms' saves.
#include "save_failure.h"

#include "atomic_file.h"

namespace authoring {

void throwSaveFailure(const SaveState &state, const std::string &what, const std::string &reason,
                      const std::string &advice)
{
    using Found = SaveState::Found;
    using Stage = SaveState::Stage;
    std::string message =
        state.stage == Stage::Replaced ? state.shown + " was saved, but " : "cannot save " + state.shown + ": ";
    message += what;
    if (!reason.empty())
        message += ": " + reason;
    switch (state.stage) {
    case Stage::NothingWritten:
        message += "; nothing was written";
        if (state.found == Found::File)
            message += ": the file there is as it was";
        else if (state.found == Found::Other)
            message += ": what is there is as it was";
        else if (state.found == Found::Link)
            message += ": the link is as it was";
        else if (state.found == Found::Nothing)
            message += ": no file was there, and none is now";
        break;
    case Stage::BackupMade:
        message += "; the old file is still in place, and a copy of it is kept as " + state.backupPath;
        break;
    case Stage::Replaced:
        message += "; a power cut now could still undo the save, so save again";
        if (state.oldFileThere() && state.keepBackup)
            message += "; the old file is kept as " + state.backupPath;
        else if (!state.oldFileThere())
            message += "; no file was there before";
        break;
    }
    if (!advice.empty())
        message += "; " + advice;
    throw ListError(message);
}

} // namespace authoring
