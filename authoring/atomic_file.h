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

// Writes bytes to a temporary file in target's folder, flushes it to disk and
// renames it over target. With Backup::Keep the file that was there is kept
// as "<target>.bak" first. Throws ListError on any failure; the old file
// (and an old backup) are then as they were.
void replaceFile(const std::filesystem::path &target, std::string_view bytes, Backup backup = Backup::Keep);

} // namespace authoring
