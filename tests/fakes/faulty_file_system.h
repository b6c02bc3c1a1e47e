// A file system on the disk that fails, or stops as a crash would, at a
// chosen call of a save: each call counts, and a replace counts as its two
// halves (the old file kept, the new one renamed in), as on POSIX.
#pragma once

#include "file_system.h"

#include <functional>
#include <string>
#include <vector>

namespace fakes {

// Thrown at the call where the program "dies"; no save catches it.
struct Crash {};

class FaultyFileSystem : public authoring::FileSystem {
public:
    enum class Fault { None, Fail, Crash };

    // fault at call number at (1 for the first); onCrash runs there (a child
    // process ends itself in it), then every later call does nothing.
    FaultyFileSystem(Fault fault = Fault::None, int at = 0, std::function<void()> onCrash = {})
        : fault_(fault), at_(at), onCrash_(std::move(onCrash))
    {
    }

    int calls() const { return calls_; }
    // The file or folder name of each call so far.
    const std::vector<std::string> &names() const { return names_; }

    void write(const std::filesystem::path &file, std::string_view bytes,
               const std::filesystem::path &attributesOf) override
    {
        // A failed or interrupted write leaves half the bytes, as a full disk would.
        if (step("write", file, [&] { disk().write(file, bytes.substr(0, bytes.size() / 2), attributesOf); }))
            disk().write(file, bytes, attributesOf);
    }
    void flush(const std::filesystem::path &file) override
    {
        if (step("flush", file))
            disk().flush(file);
    }
    void rename(const std::filesystem::path &from, const std::filesystem::path &to) override
    {
        if (step("rename", from, {}, to))
            disk().rename(from, to);
    }
    void link(const std::filesystem::path &existing, const std::filesystem::path &name) override
    {
        if (step("link", existing))
            disk().link(existing, name);
    }
    void replace(const std::filesystem::path &replaced, const std::filesystem::path &replacement,
                 const std::filesystem::path &backup) override
    {
        link(replaced, backup);
        rename(replacement, replaced);
    }
    void remove(const std::filesystem::path &file) override
    {
        if (step("remove", file))
            disk().remove(file);
    }
    void makeFolder(const std::filesystem::path &folder) override
    {
        if (step("make folder", folder))
            disk().makeFolder(folder);
    }
    void removeFolder(const std::filesystem::path &folder) override
    {
        if (step("remove folder", folder))
            disk().removeFolder(folder);
    }
    void flushFolder(const std::filesystem::path &folder) override
    {
        if (step("flush folder", folder))
            disk().flushFolder(folder);
    }

private:
    static authoring::FileSystem &disk() { return authoring::diskFileSystem(); }

    // Whether the call goes ahead; throws at the chosen one after its partial effect.
    bool step(const char *call, const std::filesystem::path &file, const std::function<void()> &partly = {},
              const std::filesystem::path &to = {})
    {
        if (dead_)
            throw Crash{};
        ++calls_;
        names_.push_back(file.filename().string());
        if (calls_ != at_ || fault_ == Fault::None)
            return true;
        if (partly)
            partly();
        if (fault_ == Fault::Fail)
            throw authoring::FileSystemError("cannot " + std::string(call) + " " + file.string() +
                                             (to.empty() ? "" : " to " + to.filename().string()) +
                                             ": Input/output error");
        dead_ = true;
        if (onCrash_)
            onCrash_();
        throw Crash{};
    }

    Fault fault_;
    int at_;
    std::function<void()> onCrash_;
    int calls_ = 0;
    bool dead_ = false;
    std::vector<std::string> names_;
};

} // namespace fakes
