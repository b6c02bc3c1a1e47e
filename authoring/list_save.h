// Saving a list and its picture files as one transaction, with a journal
// beside the list, so that a failure or a crash at any step leaves the
// folder as it was or as saved once the list is next opened.
#pragma once

#include "atomic_file.h"
#include "file_system.h"

#include <filesystem>
#include <map>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace authoring {

// A picture file's bytes, shared between undo steps; null for no file.
using PictureBytes = std::shared_ptr<const std::string>;

// Writes bytes as dataIni and the pictures, by prize name, into the folder
// "picture" beside it (null removes one). With Backup::Keep the list that
// was there becomes "<list>.bak" once the save has gone through; a save
// that fails leaves the .bak there was. Finishes an interrupted earlier
// save first. On failure everything is put back and ListError names the
// file and says what is on disk. Returns a note for the user when the save
// went through but a leftover file of it stays (until the next open); else
// empty.
std::string saveListFiles(const std::filesystem::path &dataIni, const std::string &bytes,
                          const std::map<std::string, PictureBytes> &pictures, Backup backup,
                          FileSystem &files = diskFileSystem());

// Finishes or undoes a save of dataIni that a crash or a power cut
// interrupted, and removes its temporary files. Returns what it did for the
// user, empty when there was nothing to do. Throws ListError when it cannot.
std::string finishInterruptedSave(const std::filesystem::path &dataIni, FileSystem &files = diskFileSystem());

// What a file on disk was when it was read or written, to notice that
// another program saved it in between: size, time and a hash of the bytes.
struct DiskVersion {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type time;
    std::uint64_t hash = 0;
    bool operator==(const DiskVersion &) const = default;
};
// None when there is no file (or it cannot be read).
std::optional<DiskVersion> diskVersionOf(const std::filesystem::path &file);

// The journal and temporary files of a save all start with a dot and end
// in one of these, so that a folder can be checked for leftovers.
bool isSaveLeftover(const std::filesystem::path &file);

} // namespace authoring
