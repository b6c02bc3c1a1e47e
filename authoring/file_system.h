// The file-system calls a save makes, one by one, so that a save can be
// carried out on the disk or on a stand-in that fails or stops at any call.
#pragma once

#include "atomic_file.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace authoring {

// One call that failed; the message names the call and its file.
class FileSystemError : public ListError {
public:
    using ListError::ListError;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Makes or empties file and writes bytes to it, not yet flushed. A new
    // file takes over the owner, mode and attributes of attributesOf when
    // that is there, else the defaults of a new file.
    virtual void write(const std::filesystem::path &file, std::string_view bytes,
                       const std::filesystem::path &attributesOf) = 0;
    // Flushes a written file to disk.
    virtual void flush(const std::filesystem::path &file) = 0;
    // Renames from to to, over a file there.
    virtual void rename(const std::filesystem::path &from, const std::filesystem::path &to) = 0;
    // A second name for existing (a copy where the file system has no hard links).
    virtual void link(const std::filesystem::path &existing, const std::filesystem::path &name) = 0;
    // Puts replacement in the place of replaced, which keeps its owner,
    // attributes and access rights; the old file is then found as backup.
    // After a failure replaced is there (old, or new when the message says
    // so), unless the message says where the old file is.
    virtual void replace(const std::filesystem::path &replaced, const std::filesystem::path &replacement,
                         const std::filesystem::path &backup) = 0;
    // Removes a file; one that is not there is no failure.
    virtual void remove(const std::filesystem::path &file) = 0;
    virtual void makeFolder(const std::filesystem::path &folder) = 0;
    // Removes a folder if it is empty; one that holds files stays.
    virtual void removeFolder(const std::filesystem::path &folder) = 0;
    // Flushes a folder's entries to disk (where the system can), so that
    // renames in it survive a power cut.
    virtual void flushFolder(const std::filesystem::path &folder) = 0;
};

// The disk itself.
FileSystem &diskFileSystem();

} // namespace authoring
