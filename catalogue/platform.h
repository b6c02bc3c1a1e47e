// What the Windows build does differently, one source file per platform.
#pragma once

#include <cstdio>
#include <filesystem>

namespace catalogue::platform {

// Opens a file to read its bytes; null with errno set when it cannot.
std::FILE *openForReading(const std::filesystem::path &path);

} // namespace catalogue::platform
