// A file's bytes, read whole, for tests that compare what was written.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string slurp(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
