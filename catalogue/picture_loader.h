// The service that turns a picture file into a Picture; the window provides
// the real one, tests provide fakes.
#pragma once

#include "runtime_error.h"
#include "variant.h"

#include <filesystem>
#include <string_view>

namespace catalogue {

class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    // Returns a picture, or throws a RuntimeError when the file is missing,
    // unreadable or not an acceptable picture.
    virtual PicturePtr load(const std::filesystem::path &file) = 0;
    // load, with a refusal handed back instead of thrown: a check of a
    // thousand prizes without pictures would otherwise throw a thousand times.
    virtual PicturePtr tryLoad(const std::filesystem::path &file, std::optional<RuntimeError> &refused)
    {
        try {
            return load(file);
        } catch (const RuntimeError &error) {
            refused = error;
            return nullptr;
        }
    }
    // The file that load(file) reads: file itself, unless the loader stands
    // another in for it (a picture chosen but not saved yet).
    virtual std::filesystem::path fileRead(const std::filesystem::path &file) { return file; }
};

// Why a name cannot name a file, for a message that says what to change.
struct FileNameFault {
    enum class Kind { None, Empty, Dots, Character, Device, EndsInDotOrBlank };
    Kind kind = Kind::None;
    char character = 0; // for Character: the first one a file name cannot hold
    explicit operator bool() const { return kind != Kind::None; }
};

// A prize name can be used as a file name in the picture folder only if it
// cannot name anything outside it: not empty, ".", "..", and no '/', '\\' or NUL.
bool isSafePictureName(std::string_view name);
FileNameFault pictureNameFault(std::string_view name);

// A name Windows can use for a file: not a device name (CON, PRN, AUX, NUL,
// COM1-9, LPT1-9, in any case, with or without an extension), none of
// < > : " | ? * (a colon would open an alternate data stream), no control
// character, not ending in a dot or a space.
bool isWindowsFileName(std::string_view name);
FileNameFault windowsFileNameFault(std::string_view name);

// The picture file of the prize named name: <name>.jpg in folder, the UTF-8
// name spelt as the platform spells file names. Empty when the name may not
// open a file: one that is not safe, and on Windows one Windows cannot use.
std::filesystem::path pictureFileOf(const std::filesystem::path &folder, std::string_view name);

// A path from UTF-8 text, on every platform (a plain std::string would be
// read in the Windows code page).
std::filesystem::path utf8Path(std::string_view utf8);

} // namespace catalogue
