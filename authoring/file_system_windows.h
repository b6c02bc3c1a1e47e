// The save's file-system calls on Windows, with ReplaceFileW replaceable so
// that tests can give the answers wine never gives.
#pragma once

#include "file_system.h"
#include "system_words_windows.h"

#include <functional>
#include <memory>
#include <string>

namespace authoring {

// As ReplaceFileW(replaced, replacement, backup, ...): 0, or the error the call set.
using ReplaceCall = std::function<unsigned long(const std::wstring &replaced, const std::wstring &replacement,
                                                const std::wstring &backup)>;

// Where the files are after a replace that failed.
enum class ReplaceOutcome { OldInPlace, NewInPlace, OldOnlyAsBackup };

// Replaces with a backup name, and after errors 1176 and 1177 (or any
// other) puts a file back at replaced when none is there: the old one, or
// else the new one. Returns the error (0 for none) and where the files are.
std::pair<unsigned long, ReplaceOutcome> replaceKeepingAFile(const std::filesystem::path &replaced,
                                                             const std::filesystem::path &replacement,
                                                             const std::filesystem::path &backup,
                                                             const ReplaceCall &call);

// The disk, with the replace call given (the system's by default).
std::unique_ptr<FileSystem> windowsFileSystem(ReplaceCall call = {});

} // namespace authoring
