// A folder's entries through FindFirstFileExW, which hands over each file's
// size and time with its name.
#include "folder_listing.h"

#include <windows.h>

namespace odds {

namespace {
FileStamp stampFrom(DWORD attributes, DWORD sizeHigh, DWORD sizeLow, FILETIME written)
{
    return {(std::uintmax_t(sizeHigh) << 32) | sizeLow,
            std::int64_t((std::uint64_t(written.dwHighDateTime) << 32) | written.dwLowDateTime),
            !(attributes & FILE_ATTRIBUTE_DIRECTORY)};
}
// A symbolic link or junction; other reparse points, such as files a cloud
// drive keeps online, change in place as plain files do.
bool isLink(const WIN32_FIND_DATAW &found)
{
    return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           (found.dwReserved0 == IO_REPARSE_TAG_SYMLINK || found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
}
} // namespace

std::optional<std::vector<ListedFile>> listFolder(const std::filesystem::path &folder)
{
    std::vector<ListedFile> files;
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = (folder / L"*").wstring();
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? std::optional(files) : std::nullopt;
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::u8string utf8 = std::filesystem::path(name).u8string();
        files.push_back(
            {std::string(utf8.begin(), utf8.end()),
             stampFrom(found.dwFileAttributes, found.nFileSizeHigh, found.nFileSizeLow, found.ftLastWriteTime),
             isLink(found)});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

std::optional<FileStamp> stampOf(const std::filesystem::path &file)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return stampFrom(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
}

} // namespace odds
