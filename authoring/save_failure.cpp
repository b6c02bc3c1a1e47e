// The wording of a failed save, shared by the platforms' saves.
#include "save_failure.h"

#include "atomic_file.h"
#include "i18n.h"

namespace authoring {

std::string makeWritableAdvice() { return i18n::tr("make it writable or save under another name"); }

void throwSaveFailure(const SaveState &state, const std::string &what, const std::string &reason,
                      const std::string &advice)
{
    using Found = SaveState::Found;
    using Stage = SaveState::Stage;
    std::string message = state.stage != Stage::NothingWritten ? i18n::tr("{0} was saved, but {1}", state.shown, what)
                                                               : i18n::tr("cannot save {0}: {1}", state.shown, what);
    if (!reason.empty())
        message += i18n::tr(": {0}", reason);
    if (state.stage == Stage::NothingWritten) {
        message += i18n::tr("; nothing was written");
        if (state.found == Found::File)
            message += i18n::tr(": the file there is as it was");
        else if (state.found == Found::Other)
            message += i18n::tr(": what is there is as it was");
        else if (state.found == Found::Link)
            message += i18n::tr(": the link is as it was");
        else if (state.found == Found::Nothing)
            message += i18n::tr(": no file was there, and none is now");
        if (state.oldFileThere() && state.keepBackup)
            message += i18n::tr("; {0} is as it was", state.backupPath);
    } else {
        message += i18n::tr("; a power cut now could still undo the save, so save again");
        if (!state.oldFileThere())
            message += i18n::tr("; no file was there before");
        else if (state.stage == Stage::BackupMade)
            message += i18n::tr("; the old file is kept as {0}", state.backupPath);
        else if (state.keepBackup)
            message += i18n::tr("; the old file was not kept, and {0} is as it was", state.backupPath);
    }
    if (!advice.empty())
        message += i18n::tr("; {0}", advice);
    throw ListError(message);
}

} // namespace authoring
