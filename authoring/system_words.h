// The system's own words for why a file operation failed, in the language
// the system speaks to this user, as UTF-8 (system_words_<platform>.cpp).
#pragma once

#include <filesystem>
#include <string>

namespace authoring {

// Why file cannot be opened and read, found by trying again: "No such file
// or directory", "Permission denied", "Is a directory" and the like.
std::string whyUnreadable(const std::filesystem::path &file);

} // namespace authoring
