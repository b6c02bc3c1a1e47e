// Texts of the run-time errors, and the check that a path names a readable kind of file.
#include "runtime_error.h"

#include <new>

namespace catalogue {

namespace {
const char *textOf(ErrorCode code)
{
    switch (code) {
    case ErrorCode::Overflow: return "Overflow";
    case ErrorCode::SubscriptOutOfRange: return "Subscript out of range";
    case ErrorCode::TypeMismatch: return "Type mismatch";
    case ErrorCode::FileNotFound: return "File not found";
    case ErrorCode::InputPastEndOfFile: return "Input past end of file";
    case ErrorCode::PathFileAccessError: return "Path/File access error";
    case ErrorCode::InvalidPicture: return "Invalid picture";
    }
    return "Application-defined or object-defined error";
}
} // namespace

RuntimeError::RuntimeError(ErrorCode code) : code_(code), text_(textOf(code)) {}

UntrappedError untrappedError(const std::exception &error)
{
    if (const auto *own = dynamic_cast<const RuntimeError *>(&error))
        return {own->number(), own->text()};
    if (dynamic_cast<const std::bad_alloc *>(&error))
        return {7, "Out of memory"};
    return {51, "Internal error"};
}

std::string runTimeErrorHeading(int number) { return "Run-time error '" + std::to_string(number) + "':"; }

std::string runTimeErrorLine(int number, const std::string &text) { return runTimeErrorHeading(number) + " " + text; }

void requireRegularFile(const std::filesystem::path &path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        throw RuntimeError(ErrorCode::FileNotFound);
    if (error || status.type() != std::filesystem::file_type::regular)
        throw RuntimeError(ErrorCode::PathFileAccessError);
}

} // namespace catalogue
