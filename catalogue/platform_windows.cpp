// The platform's own calls on Windows: paths are wide strings.
#include "platform.h"

#include "picture_loader.h"

#include <cstdio>

namespace catalogue::platform {

std::FILE *openForReading(const std::filesystem::path &path) { return _wfopen(path.c_str(), L"rb"); }

bool allowsFileName(std::string_view name) { return isWindowsFileName(name); }

bool fileNamesIgnoreCase() { return true; }

} // namespace catalogue::platform
