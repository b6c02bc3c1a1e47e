// What the Windows build does differently, one source file per platform.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace catalogue::platform {

// Opens a file to read its bytes; null with errno set when it cannot.
std::FILE *openForReading(const std::filesystem::path &path);

// Whether this platform's file system can hold a file of this name (the
// picture folder's own rule comes on top).
bool allowsFileName(std::string_view name);

// Whether two file names that differ only in letter case name one file.
bool fileNamesIgnoreCase();

} // namespace catalogue::platform
