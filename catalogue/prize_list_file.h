// Sequential line input from data.ini, decoded to UTF-8.
#pragma once

#include "text_decoding.h"
#include "variant.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace catalogue {

class PrizeListFile {
public:
    // Throws FileNotFound when nothing is there, PathFileAccessError when
    // something is there that cannot be opened and read as a file.
    explicit PrizeListFile(const std::filesystem::path &path);

    // True when no byte is left; a lone empty last line still counts as a line.
    bool atEnd();
    // Reads the next line into buffer (CR LF, LF or CR end a line; the last
    // line needs none). Past the end it throws InputPastEndOfFile and leaves
    // buffer as it was.
    void readLine(Variant &buffer);
    void close();

    // The file began with a UTF-8 byte-order mark and is read as UTF-8.
    bool readsUtf8() const { return utf8_; }

    // Longer lines are cut here (the rest of the line is skipped), so no
    // hand-written list can make one line exhaust memory.
    static constexpr std::size_t kMaxLineBytes = 1 << 20;

private:
    int peekByte();
    int takeByte();

    struct Closer {
        void operator()(std::FILE *f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::string chunk_;
    std::size_t pos_ = 0;
    bool utf8_ = false;
    GbkDecoder gbk_;
    std::string line_;
};

} // namespace catalogue
