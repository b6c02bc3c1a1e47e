// Sequential line input from data.ini, decoded to UTF-8.
#pragma once

#include "text_decoding.h"
#include "variant.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

namespace catalogue {

// Where the reader takes its lines from: the file, or lines already in memory.
class LineInput {
public:
    virtual ~LineInput() = default;
    // True when no line is left.
    virtual bool atEnd() = 0;
    // Reads the next line into buffer; past the end it throws
    // InputPastEndOfFile and leaves buffer as it was.
    virtual void readLine(Variant &buffer) = 0;
    // The lines are UTF-8 text rather than GBK.
    virtual bool readsUtf8() const = 0;
    // The last line read was longer than PrizeListFile::kMaxLineBytes and cut there.
    virtual bool lineWasCut() const { return false; }
};

class PrizeListFile : public LineInput {
public:
    // How the bytes become text: GBK unless the file begins with a UTF-8
    // byte-order mark (the game's rule), or UTF-8 whatever the file begins
    // with (to mend a list saved as UTF-8 without the mark).
    enum class Decoding { GbkUnlessMarked, Utf8 };

    // Throws FileNotFound when nothing is there, PathFileAccessError when
    // something is there that cannot be opened and read as a file.
    explicit PrizeListFile(const std::filesystem::path &path, Decoding decoding = Decoding::GbkUnlessMarked);

    // Reads a list already in memory, by the same rules as a file.
    static PrizeListFile overBytes(std::string bytes, Decoding decoding = Decoding::GbkUnlessMarked)
    {
        return PrizeListFile(std::move(bytes), decoding);
    }

    // True when no byte is left; a lone empty last line still counts as a line.
    bool atEnd() override;
    // Reads the next line into buffer (CR LF, LF or CR end a line; the last
    // line needs none). Past the end it throws InputPastEndOfFile and leaves
    // buffer as it was.
    void readLine(Variant &buffer) override;
    void close();

    // The file is read as UTF-8: it began with a byte-order mark, or UTF-8 was asked for.
    bool readsUtf8() const override { return utf8_; }
    // The bytes began with a UTF-8 byte-order mark, whatever the decoding asked for.
    bool beganWithMark() const { return marked_; }
    // The last line read as bytes, before decoding.
    const std::string &lineBytes() const { return line_; }
    bool lineWasCut() const override { return lineCut_; }

    // Longer lines are cut here (the rest of the line is skipped), so that a
    // list of 1000 prizes holds at most a few MB whatever the file holds. A
    // card shows a dozen characters, and a picture's file name holds at most
    // 255 bytes, so no line a list needs comes near it.
    static constexpr std::size_t kMaxLineBytes = 1024;

private:
    PrizeListFile(std::string bytes, Decoding decoding);
    void skipByteOrderMark();
    int peekByte();
    int takeByte();

    struct Closer {
        void operator()(std::FILE *f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_; // null when reading from memory
    std::string chunk_;                       // the bytes read from the file and not yet taken, or all of them
    std::size_t pos_ = 0;
    bool utf8_ = false;
    bool marked_ = false;
    GbkDecoder gbk_;
    std::string line_;
    bool lineCut_ = false;
};

} // namespace catalogue
