// Replacing a file atomically on Windows: temporary file, flush, MoveFileEx.
#include "atomic_file.h"

#include "i18n.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

namespace authoring {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const fs::path &target, const std::string &what, DWORD error)
{
    throw ListError(i18n::tr("cannot save {0}: {1}: {2}; the file that was there is unchanged", target.string(), what,
                             std::system_category().message(static_cast<int>(error))));
}

// A temporary file beside target that is removed unless it is moved.
class TemporaryFile {
public:
    explicit TemporaryFile(const fs::path &target) : target_(target)
    {
        for (unsigned attempt = 0; handle_ == INVALID_HANDLE_VALUE; ++attempt) {
            path_ = target.parent_path() / (L"." + target.filename().wstring() + L"." +
                                             std::to_wstring(GetCurrentProcessId()) + L"-" +
                                             std::to_wstring(attempt) + L".tmp");
            handle_ = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle_ == INVALID_HANDLE_VALUE && (GetLastError() != ERROR_FILE_EXISTS || attempt == 100)) {
                const DWORD error = GetLastError();
                path_.clear();
                fail(target, i18n::tr("cannot make a file in {0}", target.parent_path().string()), error);
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
                fail(target_, i18n::tr("cannot write"), GetLastError());
            bytes.remove_prefix(written);
        }
        if (!FlushFileBuffers(handle_))
            fail(target_, i18n::tr("cannot flush to disk"), GetLastError());
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        if (!CloseHandle(handle))
            fail(target_, i18n::tr("cannot write"), GetLastError());
    }
    void moveTo(const fs::path &final)
    {
        if (!MoveFileExW(path_.c_str(), final.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            fail(target_, i18n::tr("cannot rename the new file to {0}", final.filename().string()), GetLastError());
        path_.clear();
    }

private:
    fs::path target_;
    fs::path path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

std::string contentsOf(const fs::path &file, const fs::path &target)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in.good() && !in.eof())
        fail(target, i18n::tr("cannot read the old file to keep it as .bak"), ERROR_READ_FAULT);
    return bytes.str();
}

} // namespace

void replaceFile(const fs::path &requested, std::string_view bytes, Backup backup)
{
    const fs::path folder = requested.parent_path().empty() ? fs::path(".") : requested.parent_path();
    const fs::path where = folder / requested.filename();

    std::error_code ec;
    const fs::file_status old = fs::status(where, ec);
    const bool exists = fs::exists(old);
    if (exists && !fs::is_regular_file(old))
        fail(where, i18n::tr("it is not a regular file"), ERROR_DIRECTORY);

    TemporaryFile next(where);
    next.write(bytes);
    if (exists && backup == Backup::Keep) {
        TemporaryFile kept(where);
        kept.write(contentsOf(where, where));
        kept.moveTo(fs::path(where.wstring() + L".bak"));
    }
    next.moveTo(where);
}

} // namespace authoring
