// Replacing a file so that a failure at any point leaves the old one whole.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace authoring {

// A list or a file that cannot be made or saved, with a message for the user.
class ListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Backup { Keep, None };

// Writes bytes to a temporary file in target's folder, flushes it to disk,
// renames it over target and flushes the folder. With Backup::Keep the file
// that was there is kept as "<target>.bak" first. A symbolic link stays a
// link: the file it names is written, made if missing (Windows refuses to
// save over a link). The old file's owner, group and mode (on Windows its
// attributes and access rights) are kept as far as the system allows. A
// file that is not a regular one, that has no write bit at all (even for
// root; on Windows the read-only attribute) or that this user may not write
// is refused. Throws ListError on any failure, saying what is on disk now:
// before the rename the old file (and an old backup) are as they were.
void replaceFile(const std::filesystem::path &target, std::string_view bytes, Backup backup = Backup::Keep);

// The file a save of requested writes (a link followed), after the checks
// replaceFile makes before it writes anything. Throws ListError as it does.
std::filesystem::path checkedTarget(const std::filesystem::path &requested);

} // namespace authoring
