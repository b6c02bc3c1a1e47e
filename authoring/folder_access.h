// Whether files can be made in a folder, as the platform answers it
// (folder_access_<platform>.cpp).
#pragma once

#include <filesystem>

namespace authoring {

// True when this process can make a file in folder; false also when the
// folder is not there.
bool canWriteIn(const std::filesystem::path &folder);

} // namespace authoring
