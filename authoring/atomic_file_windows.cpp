// Replacing a file atomically on Windows: temporary file, flush, then
// ReplaceFileW over the file that is there (which keeps its attributes and
// access rights) with the old file under a backup name, or MoveFileExW
// where there was none.
#include "atomic_file.h"

#include "file_system_windows.h"
#include "i18n.h"
#include "save_failure.h"
#include "system_words_windows.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

namespace authoring {

namespace fs = std::filesystem;

namespace {

// One save of one file: what was there, how far the save got, and the
// message that says both when it fails.
class Save {
public:
    Save(const fs::path &requested, Backup backup)
    {
        const fs::path folder = requested.parent_path().empty() ? fs::path(".") : requested.parent_path();
        where_ = folder / requested.filename();
        state_.shown = requested.string();
        state_.keepBackup = backup == Backup::Keep;
        state_.backupPath = backupPath().string();
    }

    // Refuses what is not a plain file, or what this user may not write.
    void inspect()
    {
        const DWORD attributes = GetFileAttributesW(where_.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
                fail(i18n::tr("cannot look at it"), error);
            state_.found = Found::Nothing;
            return;
        }
        // Replacing a link would put a plain file in its place.
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            state_.found = Found::Link;
            fail(i18n::tr("it is a symbolic link (or another reparse point)"), 0,
                 i18n::tr("save to the file it names instead"));
        }
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            state_.found = Found::Other;
            fail(i18n::tr("it is a folder, not a file"));
        }
        state_.found = Found::File;
        attributes_ = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (attributes & FILE_ATTRIBUTE_READONLY)
            fail(i18n::tr("the file is read-only (its read-only attribute is set)"), 0, makeWritableAdvice());
        // Access rights that deny this user, or a program that holds the file
        // open without sharing it: refused here, before anything is written.
        const HANDLE handle =
            CreateFileW(where_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_ACCESS_DENIED)
                fail(i18n::tr("you may not write to it"), error, makeWritableAdvice());
            fail(i18n::tr("cannot open it to write it"), error);
        }
        CloseHandle(handle);
    }

    void write(std::string_view bytes)
    {
        TemporaryFile next(*this);
        next.write(bytes);
        if (!state_.oldFileThere()) {
            next.moveTo(where_);
            state_.stage = Stage::Replaced;
            return;
        }
        // The old file goes to a name of its own and becomes the backup only
        // once the new one is in place: a failed save leaves the backup there was.
        const fs::path old = where_.parent_path() / (L"." + where_.filename().wstring() + L"." +
                                                     std::to_wstring(GetCurrentProcessId()) + L".old");
        next.replace(where_, old);
        state_.stage = Stage::Replaced;
        if (!state_.keepBackup) {
            DeleteFileW(old.c_str());
            return;
        }
        if (!MoveFileExW(old.c_str(), backupPath().c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            fail(i18n::tr("the old file cannot be renamed from {0} to {1}", old.filename().string(),
                          backupPath().filename().string()),
                 GetLastError());
        state_.stage = Stage::BackupMade;
    }

    const fs::path &target() const { return where_; }

    [[noreturn]] void fail(const std::string &what, DWORD error = 0, const std::string &advice = {}) const
    {
        throwSaveFailure(state_, what, error != 0 ? systemMessage(error) : "", advice);
    }

private:
    using Found = SaveState::Found;
    using Stage = SaveState::Stage;

    // A temporary file beside the target that is removed unless it is moved.
    class TemporaryFile {
    public:
        explicit TemporaryFile(Save &save) : save_(save)
        {
            const fs::path &target = save.where_;
            for (unsigned attempt = 0; handle_ == INVALID_HANDLE_VALUE; ++attempt) {
                path_ = target.parent_path() /
                        (L"." + target.filename().wstring() + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                         std::to_wstring(attempt) + L".tmp");
                handle_ = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      save.attributes_ ? save.attributes_ : FILE_ATTRIBUTE_NORMAL, nullptr);
                if (handle_ == INVALID_HANDLE_VALUE && (GetLastError() != ERROR_FILE_EXISTS || attempt == 100)) {
                    const DWORD error = GetLastError();
                    path_.clear();
                    save.fail(i18n::tr("cannot make a file in {0}", target.parent_path().string()), error);
                }
            }
        }
        ~TemporaryFile()
        {
            if (handle_ != INVALID_HANDLE_VALUE)
                CloseHandle(handle_);
            if (!path_.empty())
                DeleteFileW(path_.c_str());
        }
        TemporaryFile(const TemporaryFile &) = delete;
        TemporaryFile &operator=(const TemporaryFile &) = delete;

        void write(std::string_view bytes)
        {
            while (!bytes.empty()) {
                const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
                DWORD written = 0;
                if (!WriteFile(handle_, bytes.data(), chunk, &written, nullptr) || written == 0)
                    save_.fail(i18n::tr("cannot write"), GetLastError());
                bytes.remove_prefix(written);
            }
            if (!FlushFileBuffers(handle_))
                save_.fail(i18n::tr("cannot flush the new file to disk"), GetLastError());
            const HANDLE handle = handle_;
            handle_ = INVALID_HANDLE_VALUE;
            if (!CloseHandle(handle))
                save_.fail(i18n::tr("cannot write"), GetLastError());
        }
        void moveTo(const fs::path &final)
        {
            if (!MoveFileExW(path_.c_str(), final.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                save_.fail(i18n::tr("cannot rename the new file to {0}", final.filename().string()), GetLastError());
            path_.clear();
        }
        // After a failure a file is at old: the old one, or the new one.
        void replace(const fs::path &old, const fs::path &backup)
        {
            const auto [error, outcome] = replaceKeepingAFile(old, path_, backup, {});
            if (error == 0) {
                path_.clear();
                return;
            }
            const std::string what = i18n::tr("cannot put the new file in place of the old one");
            if (outcome == ReplaceOutcome::OldInPlace)
                save_.fail(what, error);
            const fs::path replacement = path_;
            path_.clear(); // the new file is in place, or the only copy of it
            if (outcome == ReplaceOutcome::NewInPlace) {
                save_.state_.stage = Stage::Replaced;
                save_.fail(i18n::tr("the old file is {0}, not {1}", backup.filename().string(),
                                    save_.backupPath().filename().string()),
                           error);
            }
            throw ListError(i18n::tr("cannot save {0}: {1}: {2}; no file is there now: the old one is {3} and the "
                                     "new one {4}; rename one of them to {5}",
                                     save_.state_.shown, what, systemMessage(error), backup.string(),
                                     replacement.string(), old.filename().string()));
        }

    private:
        Save &save_;
        fs::path path_;
        HANDLE handle_ = INVALID_HANDLE_VALUE;
    };

    fs::path backupPath() const { return fs::path(where_.wstring() + L".bak"); }

    fs::path where_;
    // The old file's attributes that a new file takes over. ReplaceFileW
    // keeps them on Windows, but not every system that runs the program does.
    DWORD attributes_ = 0;
    SaveState state_; // what was there and how far the save got
};

} // namespace

void replaceFile(const fs::path &requested, std::string_view bytes, Backup backup)
{
    Save save(requested, backup);
    save.inspect();
    save.write(bytes);
}

fs::path checkedTarget(const fs::path &requested)
{
    Save save(requested, Backup::None);
    save.inspect();
    return save.target();
}

} // namespace authoring
