// The platform's own calls, for every build but Windows'.
#include "platform.h"

namespace catalogue::platform {

std::FILE *openForReading(const std::filesystem::path &path) { return std::fopen(path.c_str(), "rb"); }

bool allowsFileName(std::string_view) { return true; }

bool fileNamesIgnoreCase() { return false; }

} // namespace catalogue::platform
