// A file writer that fails at a chosen write or removal, as a full disk or a
// folder made read-only half-way through a save would.
#pragma once

#include "picture_plan.h"

namespace fakes {

class FailingWriter : public authoring::FileWriter {
public:
    // Fails the failAt-th change (1 for the first) and no other; 0 never.
    explicit FailingWriter(int failAt) : failAt_(failAt) {}
    void write(const std::filesystem::path &file, std::string_view bytes, authoring::Backup backup) override
    {
        step(file);
        FileWriter::write(file, bytes, backup);
    }
    void remove(const std::filesystem::path &file) override
    {
        step(file);
        FileWriter::remove(file);
    }
    int changes() const { return changes_; }

private:
    void step(const std::filesystem::path &file)
    {
        if (++changes_ == failAt_)
            throw authoring::ListError("cannot save " + file.string() + ": Read-only file system");
    }
    int failAt_;
    int changes_ = 0;
};

} // namespace fakes
