// The save's file-system calls on Windows: wide-character calls throughout,
// renames that reach the disk before they return, and ReplaceFileW, which
// keeps the replaced file's attributes and access rights.
#include "file_system_windows.h"
#include "system_words_windows.h"

#include "i18n.h"

#include <windows.h>

#include <algorithm>

namespace authoring {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string &what, DWORD error)
{
    throw FileSystemError(i18n::tr("{0}: {1}", what, systemMessage(error)));
}

bool isThere(const fs::path &file) { return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; }

unsigned long systemReplace(const std::wstring &replaced, const std::wstring &replacement, const std::wstring &backup)
{
    return ReplaceFileW(replaced.c_str(), replacement.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                        nullptr)
               ? 0
               : GetLastError();
}

class Disk : public FileSystem {
public:
    explicit Disk(ReplaceCall call) : call_(call ? std::move(call) : ReplaceCall(systemReplace)) {}

    void write(const fs::path &file, std::string_view bytes, const fs::path &attributesOf) override
    {
        DWORD attributes = FILE_ATTRIBUTE_NORMAL;
        if (!attributesOf.empty()) {
            const DWORD old = GetFileAttributesW(attributesOf.c_str());
            if (old != INVALID_FILE_ATTRIBUTES)
                attributes = std::max<DWORD>(old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED),
                                             FILE_ATTRIBUTE_NORMAL);
        }
        const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            fail(i18n::tr("cannot make {0}", file.string()), GetLastError());
        while (!bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
            DWORD written = 0;
            if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) {
                const DWORD error = GetLastError();
                CloseHandle(handle);
                fail(i18n::tr("cannot write {0}", file.string()), error);
            }
            bytes.remove_prefix(written);
        }
        if (!CloseHandle(handle))
            fail(i18n::tr("cannot write {0}", file.string()), GetLastError());
    }

    void flush(const fs::path &file) override
    {
        const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            fail(i18n::tr("cannot flush {0} to disk", file.string()), GetLastError());
        const bool flushed = FlushFileBuffers(handle);
        const DWORD error = GetLastError();
        CloseHandle(handle);
        if (!flushed)
            fail(i18n::tr("cannot flush {0} to disk", file.string()), error);
    }

    void rename(const fs::path &from, const fs::path &to) override
    {
        if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            fail(i18n::tr("cannot rename {0} to {1}", from.string(), to.filename().string()), GetLastError());
    }

    void link(const fs::path &existing, const fs::path &name) override
    {
        remove(name);
        if (CreateHardLinkW(name.c_str(), existing.c_str(), nullptr))
            return;
        // FAT, as on a USB stick, has no hard links: a copy does as well.
        if (!CopyFileW(existing.c_str(), name.c_str(), FALSE))
            fail(i18n::tr("cannot keep {0} as {1}", existing.string(), name.filename().string()), GetLastError());
    }

    void replace(const fs::path &replaced, const fs::path &replacement, const fs::path &backup) override
    {
        const auto [error, outcome] = replaceKeepingAFile(replaced, replacement, backup, call_);
        if (error == 0)
            return;
        const std::string what =
            i18n::tr("cannot put {0} in the place of {1}", replacement.filename().string(), replaced.string());
        switch (outcome) {
        case ReplaceOutcome::OldInPlace: fail(what + i18n::tr(" (the old file is in place)"), error);
        case ReplaceOutcome::NewInPlace:
            fail(what + i18n::tr(" (the new file is in place, the old one is {0})", backup.string()), error);
        case ReplaceOutcome::OldOnlyAsBackup: break;
        }
        fail(what + i18n::tr(" (neither file could be put back: the old one is {0})", backup.string()), error);
    }

    void remove(const fs::path &file) override
    {
        if (!DeleteFileW(file.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
            GetLastError() != ERROR_PATH_NOT_FOUND)
            fail(i18n::tr("cannot remove {0}", file.string()), GetLastError());
    }

    void makeFolder(const fs::path &folder) override
    {
        if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            fail(i18n::tr("cannot make the folder {0}", folder.string()), GetLastError());
    }

    void removeFolder(const fs::path &folder) override
    {
        if (!RemoveDirectoryW(folder.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
            GetLastError() != ERROR_PATH_NOT_FOUND && GetLastError() != ERROR_DIR_NOT_EMPTY)
            fail(i18n::tr("cannot remove the folder {0}", folder.string()), GetLastError());
    }

    // Windows flushes a folder's entries with the renames (MOVEFILE_WRITE_THROUGH).
    void flushFolder(const fs::path &) override {}

private:
    ReplaceCall call_;
};

} // namespace

std::pair<unsigned long, ReplaceOutcome> replaceKeepingAFile(const fs::path &replaced, const fs::path &replacement,
                                                             const fs::path &backup, const ReplaceCall &call)
{
    DeleteFileW(backup.c_str()); // a backup name left by an earlier save; ReplaceFileW would refuse it
    const unsigned long error =
        (call ? call : ReplaceCall(systemReplace))(replaced.wstring(), replacement.wstring(), backup.wstring());
    if (error == 0)
        return {0, ReplaceOutcome::NewInPlace};
    // 1175 and 1176 with a backup name leave both files under their own
    // names; 1177 leaves the old file under the backup name and none at
    // replaced, and so may a call that failed in some other way.
    if (isThere(replaced))
        return {error, isThere(replacement) ? ReplaceOutcome::OldInPlace : ReplaceOutcome::NewInPlace};
    if (MoveFileExW(backup.c_str(), replaced.c_str(), MOVEFILE_WRITE_THROUGH))
        return {error, ReplaceOutcome::OldInPlace};
    if (MoveFileExW(replacement.c_str(), replaced.c_str(), MOVEFILE_WRITE_THROUGH))
        return {error, ReplaceOutcome::NewInPlace};
    return {error, ReplaceOutcome::OldOnlyAsBackup};
}

FileSystem &diskFileSystem()
{
    static const std::unique_ptr<FileSystem> disk = windowsFileSystem();
    return *disk;
}

std::unique_ptr<FileSystem> windowsFileSystem(ReplaceCall call) { return std::make_unique<Disk>(std::move(call)); }

} // namespace authoring
