// Sequential line input from data.ini, decoded to UTF-8.
#include "prize_list_file.h"

#include "platform.h"
#include "runtime_error.h"

#include <cerrno>

namespace catalogue {

namespace {
constexpr std::size_t kChunkBytes = 64 * 1024;
}

PrizeListFile::PrizeListFile(const std::filesystem::path &path, Decoding decoding) : utf8_(decoding == Decoding::Utf8)
{
    requireRegularFile(path);
    file_.reset(platform::openForReading(path));
    if (!file_)
        throw RuntimeError(errno == ENOENT ? ErrorCode::FileNotFound : ErrorCode::PathFileAccessError);
    skipByteOrderMark();
}

PrizeListFile::PrizeListFile(std::string bytes, Decoding decoding)
    : chunk_(std::move(bytes)), utf8_(decoding == Decoding::Utf8)
{
    skipByteOrderMark();
}

void PrizeListFile::skipByteOrderMark()
{
    if (peekByte() == 0xEF) {
        // Only a whole mark switches to UTF-8; a lone 0xEF stays GBK text.
        if (chunk_.size() - pos_ >= 3 && chunk_.compare(pos_, 3, "\xEF\xBB\xBF") == 0) {
            utf8_ = marked_ = true;
            pos_ += 3;
        }
    }
}

int PrizeListFile::peekByte()
{
    if (pos_ == chunk_.size()) {
        if (!file_)
            return EOF;
        chunk_.resize(kChunkBytes);
        const std::size_t got = std::fread(chunk_.data(), 1, kChunkBytes, file_.get());
        if (got == 0 && std::ferror(file_.get()))
            throw RuntimeError(ErrorCode::PathFileAccessError);
        chunk_.resize(got);
        pos_ = 0;
        if (got == 0)
            return EOF;
    }
    return static_cast<unsigned char>(chunk_[pos_]);
}

int PrizeListFile::takeByte()
{
    const int c = peekByte();
    if (c != EOF)
        ++pos_;
    return c;
}

bool PrizeListFile::atEnd() { return peekByte() == EOF; }

void PrizeListFile::readLine(Variant &buffer)
{
    if (atEnd())
        throw RuntimeError(ErrorCode::InputPastEndOfFile);
    line_.clear();
    lineCut_ = false;
    for (int c = takeByte(); c != EOF; c = takeByte()) {
        if (c == '\n')
            break;
        if (c == '\r') {
            if (peekByte() == '\n')
                takeByte();
            break;
        }
        if (line_.size() < kMaxLineBytes)
            line_ += static_cast<char>(c);
        else
            lineCut_ = true;
    }
    buffer = utf8_ ? sanitizeUtf8(line_) : gbk_.decode(line_);
}

void PrizeListFile::close()
{
    file_.reset();
    chunk_.clear();
    pos_ = 0;
}

} // namespace catalogue
