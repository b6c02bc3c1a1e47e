// A file's bytes, read whole, and a folder's, for tests that compare what was written.
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

inline std::string slurp(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Every file below folder by its UTF-8 path relative to it, with '/' between
// folders, and its bytes.
inline std::map<std::string, std::string> filesUnder(const std::filesystem::path &folder)
{
    std::map<std::string, std::string> files;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) {
            const std::u8string name = std::filesystem::relative(entry.path(), folder).generic_u8string();
            files[std::string(name.begin(), name.end())] = slurp(entry.path());
        }
    return files;
}
