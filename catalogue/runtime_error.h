// The one error type of the program: a run-time error with its number and text.
#pragma once

#include <exception>
#include <filesystem>
#include <string>

namespace catalogue {

enum class ErrorCode {
    Overflow = 6,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    FileNotFound = 53,
    InputPastEndOfFile = 62,
    PathFileAccessError = 75,
    InvalidPicture = 481,
};

class RuntimeError : public std::exception {
public:
    explicit RuntimeError(ErrorCode code);

    int number() const { return static_cast<int>(code_); }
    ErrorCode code() const { return code_; }
    // The error's own text, e.g. "File not found".
    const std::string &text() const { return text_; }
    const char *what() const noexcept override { return text_.c_str(); }

private:
    ErrorCode code_;
    std::string text_;
};

// An error as the program reports it when nothing trapped it.
struct UntrappedError {
    int number = 0;
    std::string text;
};

// Any exception reaches the report with a number: a run-time error keeps its
// own, running out of memory is 7 "Out of memory", anything else is
// 51 "Internal error".
UntrappedError untrappedError(const std::exception &error);

// "Run-time error '53':", the first line of the report's message box.
std::string runTimeErrorHeading(int number);

// "Run-time error '53': File not found", the line written to standard error.
std::string runTimeErrorLine(int number, const std::string &text);

// Throws FileNotFound when nothing is at path, PathFileAccessError when what
// is there is no regular file (a folder, a pipe, a device: reading one could
// block or never end) or cannot be examined.
void requireRegularFile(const std::filesystem::path &path);

// Runs steps either letting their run-time errors pass (the starting regime)
// or, once switched, skipping a failing step silently so the next one runs.
// The switch is one-way: start-up and each draw switch it once and keep it.
class FailureRegime {
public:
    void skipFailures() { skipping_ = true; }
    bool skipping() const { return skipping_; }
    // A failure handed back rather than thrown, met as run meets a thrown one.
    void failed(const RuntimeError &error) const
    {
        if (!skipping_)
            throw error;
    }

    template <typename Step>
    void run(Step &&step)
    {
        if (!skipping_) {
            step();
            return;
        }
        try {
            step();
        } catch (const RuntimeError &) {
            // Deliberately dropped: this regime's whole point.
        }
    }

private:
    bool skipping_ = false;
};

} // namespace catalogue
