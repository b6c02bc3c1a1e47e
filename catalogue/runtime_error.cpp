// Texts of the run-time errors.
#include "runtime_error.h"

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

} // namespace catalogue
