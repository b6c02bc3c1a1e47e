// The bundled list, a real GBK data.ini with real JPEGs, copied into a
// temporary folder for a test to change.
#pragma once

#include "fakes.h"

#include <filesystem>

namespace fakes {

struct BundledList {
    // within: a folder under the temporary one to hold the list, such as
    // one whose name has Chinese characters and spaces.
    explicit BundledList(const std::filesystem::path &within = {})
        : dir(folder.path() / within), dataIni(dir / "data.ini")
    {
        const std::filesystem::path sample = SAMPLE_DIR;
        std::filesystem::create_directories(dir);
        std::filesystem::copy(sample / "data.ini", dataIni);
        std::filesystem::copy(sample / "picture", dir / "picture");
    }

    TempFolder folder;
    std::filesystem::path dir; // the list's folder: data.ini and picture/
    std::filesystem::path dataIni;
};

} // namespace fakes
