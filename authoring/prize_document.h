// A prize list as a document to change and save: the records of one data.ini
// as the game reads them, each line with its text and the bytes it was read from.
#pragma once

#include "atomic_file.h"
#include "catalogue.h"

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace authoring {

// How a list is written: GBK, the game's own, or UTF-8 behind a byte-order mark.
enum class Encoding { Gbk, Utf8 };
const char *encodingName(Encoding encoding); // "gbk", "utf8-bom"

// The five lines of a record, in file order; the game ignores the note.
enum class Field { Weight, Color, Name, Amount, Note };
inline constexpr int kFields = 5;
const char *fieldName(Field field);  // "weight", "color", "name", "amount", "note": CSV columns
const char *fieldLabel(Field field); // the same in the user's language

struct Line {
    std::string text;                 // UTF-8, as the game reads it
    std::optional<std::string> bytes; // as read from the file; none once changed

    bool operator==(const Line &) const = default;
};
using Record = std::array<Line, kFields>;
using Texts = std::array<std::string, kFields>;

class PrizeDocument {
public:
    // A new list with no prize, to be saved in GBK.
    PrizeDocument() = default;

    // Reads a list exactly as the game reads it (line ends, encoding, the
    // first 1000 records, a last record cut short completed by repeating the
    // line before). Decoding::Utf8 reads a file without a byte-order mark as
    // UTF-8. Throws the game's RuntimeError (53, 75, 62), or ListError for a
    // line longer than the game reads (PrizeListFile::kMaxLineBytes), so a
    // document never holds more than a few MB.
    static PrizeDocument
    open(const std::filesystem::path &file,
         catalogue::PrizeListFile::Decoding decoding = catalogue::PrizeListFile::Decoding::GbkUnlessMarked);
    // The same from a list already open, or in memory (PrizeListFile::overBytes);
    // file names it in messages.
    static PrizeDocument read(catalogue::PrizeListFile input, const std::filesystem::path &file);

    int size() const { return static_cast<int>(records_.size()); }
    const Record &record(int prize) const { return records_.at(checked(prize)); }
    const std::string &text(int prize, Field field) const;
    Texts texts(int prize) const;

    // Changes one line; the same text again changes nothing. Throws ListError
    // for a text that holds a line break or is not UTF-8.
    void setText(int prize, Field field, std::string text);
    void insert(int at, const Texts &texts);
    void insertRecord(int at, Record record); // as taken from record(), for undo
    void replaceRecord(int prize, Record record);
    void remove(int prize);
    // Takes the prize out and puts it back so that it ends up at index to.
    void move(int from, int to);

    Encoding encoding() const { return encoding_; }
    // What the bytes kept in the lines are in: a record taken out with
    // record() goes back in whole only while this has not changed.
    Encoding keptBytesEncoding() const { return bytesEncoding_; }
    void setEncoding(Encoding encoding) { encoding_ = encoding; }

    // What the reader met when the list was opened.
    const catalogue::ReadReport &readReport() const { return read_; }
    // The file was GBK as the game reads it but UTF-8 as written, and still is.
    bool looksUtf8WithoutMark() const;
    // The list is read as UTF-8, but its file, as read or last saved, lacks
    // the byte-order mark that Save writes (it was reopened as UTF-8).
    bool markAddedAtSave() const { return encoding_ == Encoding::Utf8 && !fileHasMark_; }

    // The file's bytes in encoding(): CR LF after every line, a line not
    // changed since it was read written back byte for byte. Throws ListError
    // when a text cannot be written in GBK (naming the prize and the
    // character), for a line longer than the game reads, and for more than
    // 1000 prizes.
    std::string bytes() const;
    // Writes bytes() atomically, keeping the old file as "<file>.bak"; then
    // the document stands for the saved file. Throws ListError. Returns a
    // note for the user as saveListFiles does.
    std::string save(const std::filesystem::path &file);
    // The document now stands for a file just written with these bytes,
    // which bytes() returned.
    void takeAsSaved(const std::string &written);

    // The lines as the game's reader takes them, to judge the list as it stands.
    std::unique_ptr<catalogue::LineInput> lines() const;

private:
    std::size_t checked(int prize) const;

    std::vector<Record> records_;
    Encoding encoding_ = Encoding::Gbk;
    Encoding bytesEncoding_ = Encoding::Gbk; // what the kept bytes are in
    catalogue::ReadReport read_;
    bool utf8WithoutMark_ = false;
    bool fileHasMark_ = false; // the file as read or last saved began with a byte-order mark
};

} // namespace authoring
