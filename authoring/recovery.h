// A copy of a list's unsaved edits kept outside its folder, so that a crash
// loses nothing: the texts, the encoding and the planned pictures.
#pragma once

#include "picture_plan.h"
#include "prize_document.h"
#include "process.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace authoring {

struct Recovered {
    PrizeDocument document; // every line as typed, none as read
    std::map<std::string, PictureBytes> pictures;
};

// The copy's file in stateFolder that the editor process owner keeps for a
// list; an unsaved list has one of its own. Its name holds the owner, so
// that two editors on one list keep a copy each.
std::filesystem::path recoveryFileOf(const std::filesystem::path &stateFolder,
                                     const std::optional<std::filesystem::path> &list,
                                     const ProcessId &owner = thisProcess());
// The copies of a list's edits whose editor no longer runs, newest first:
// the only ones an editor may offer, restore or delete.
std::vector<std::filesystem::path> abandonedRecoveryFiles(const std::filesystem::path &stateFolder,
                                                          const std::optional<std::filesystem::path> &list);

// The copy's bytes, and reading them back; a copy that is not whole throws ListError.
std::string recoveryBytes(const PrizeDocument &document, const std::map<std::string, PictureBytes> &pictures);
Recovered readRecovery(std::string_view bytes);

} // namespace authoring
