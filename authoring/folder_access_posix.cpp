// Folder access on POSIX systems: the system's own check of write permission.
#include "folder_access.h"

#include <unistd.h>

namespace authoring {

bool canWriteIn(const std::filesystem::path &folder) { return ::access(folder.c_str(), W_OK) == 0; }

} // namespace authoring
