// Reading a list into a document, changing it, and writing it back.
#include "prize_document.h"

#include "list_save.h"

#include "i18n.h"

#include "gbk_encoder.h"
#include "text_decoding.h"

#include <algorithm>

namespace authoring {

using catalogue::Catalogue;
using catalogue::LineInput;
using catalogue::PrizeListFile;
using catalogue::Variant;

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kMaxLineBytes = PrizeListFile::kMaxLineBytes;

// Passes the file's lines to the game's reader and keeps each one.
class RecordingLines : public LineInput {
public:
    RecordingLines(PrizeListFile &file, const std::filesystem::path &path) : file_(file), path_(path) {}
    bool atEnd() override { return file_.atEnd(); }
    void readLine(Variant &buffer) override
    {
        file_.readLine(buffer);
        if (file_.lineWasCut()) {
            const std::size_t index = lines.size();
            throw ListError(i18n::tr("{0}, line {1} (the {2} of prize {3}): longer than {4} bytes; the game reads "
                                     "only the first {4}, and saving would lose the rest. Shorten the line in a text "
                                     "editor",
                                     path_.string(), index + 1, fieldLabel(static_cast<Field>(index % kFields)),
                                     index / kFields + 1, kMaxLineBytes));
        }
        lines.push_back({buffer.toText(), file_.lineBytes()});
    }
    bool readsUtf8() const override { return file_.readsUtf8(); }

    std::vector<Line> lines;

private:
    PrizeListFile &file_;
    std::filesystem::path path_;
};

// The reader asks for pictures; a document only needs the lines.
class NoPictures : public catalogue::PictureLoader {
public:
    catalogue::PicturePtr load(const std::filesystem::path &) override
    {
        throw catalogue::RuntimeError(catalogue::ErrorCode::FileNotFound);
    }
};

// A document's texts, one line after another, for the game's reader.
class DocumentLines : public LineInput {
public:
    DocumentLines(std::vector<std::string> texts, bool utf8) : texts_(std::move(texts)), utf8_(utf8) {}
    bool atEnd() override { return next_ == texts_.size(); }
    void readLine(Variant &buffer) override
    {
        if (atEnd())
            throw catalogue::RuntimeError(catalogue::ErrorCode::InputPastEndOfFile);
        buffer = texts_[next_++];
    }
    bool readsUtf8() const override { return utf8_; }

private:
    std::vector<std::string> texts_;
    std::size_t next_ = 0;
    bool utf8_;
};

void requireOneLine(const std::string &text)
{
    if (text.find_first_of("\r\n") != std::string::npos)
        throw ListError(i18n::tr("a line of a prize list cannot hold a line break"));
    if (catalogue::sanitizeUtf8(text) != text)
        throw ListError(i18n::tr("the text is not UTF-8"));
}

// The start of a text for a message, cut at a whole character.
std::string shortened(const std::string &text)
{
    constexpr std::size_t kShown = 60;
    if (text.size() <= kShown)
        return text;
    std::size_t end = kShown;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end) + "…";
}

Record recordOf(const Texts &texts)
{
    Record record;
    for (int f = 0; f < kFields; ++f) {
        requireOneLine(texts[f]);
        record[f].text = texts[f];
    }
    return record;
}

} // namespace

const char *encodingName(Encoding encoding) { return encoding == Encoding::Gbk ? "gbk" : "utf8-bom"; }

const char *fieldName(Field field)
{
    static constexpr const char *kNames[kFields] = {"weight", "color", "name", "amount", "note"};
    return kNames[static_cast<int>(field)];
}

const char *fieldLabel(Field field)
{
    switch (field) {
    case Field::Weight: return i18n::tr("weight");
    case Field::Color: return i18n::tr("color");
    case Field::Name: return i18n::tr("name");
    case Field::Amount: return i18n::tr("amount");
    case Field::Note: return i18n::tr("note");
    }
    return "?";
}

PrizeDocument PrizeDocument::open(const std::filesystem::path &file, PrizeListFile::Decoding decoding)
{
    return read(PrizeListFile(file, decoding), file);
}

PrizeDocument PrizeDocument::read(PrizeListFile input, const std::filesystem::path &file)
{
    RecordingLines recording(input, file);
    // The game's table (1001 slots, 240 KB) only counts the records here, so
    // one per thread is reused and emptied after each read rather than made
    // afresh for every list.
    static thread_local Catalogue table;
    struct Emptied {
        Catalogue &table;
        ~Emptied() { table.empty(); }
    } emptied{table};
    NoPictures pictures;
    catalogue::FailureRegime regime;

    PrizeDocument document;
    document.read_ = catalogue::readPrizeList(table, recording, file.parent_path() / "picture", pictures, regime);
    document.encoding_ = document.bytesEncoding_ = input.readsUtf8() ? Encoding::Utf8 : Encoding::Gbk;
    document.fileHasMark_ = input.beganWithMark();

    // A last record cut short: the game repeats the line before for each
    // missing one, so the document holds what the game shows.
    auto &lines = recording.lines;
    const auto wanted = static_cast<std::size_t>(table.prizeCount) * kFields;
    while (lines.size() < wanted)
        lines.push_back(lines.back());

    std::string allBytes;
    for (std::size_t i = 0; i < wanted; i += kFields) {
        Record record;
        for (int f = 0; f < kFields; ++f) {
            record[f] = lines[i + f];
            allBytes += *record[f].bytes + "\n";
        }
        document.records_.push_back(std::move(record));
    }
    document.utf8WithoutMark_ = !input.readsUtf8() && catalogue::looksLikeUtf8WithoutMark(allBytes);
    return document;
}

std::size_t PrizeDocument::checked(int prize) const
{
    if (prize < 0 || prize >= size())
        throw std::out_of_range("no prize " + std::to_string(prize));
    return static_cast<std::size_t>(prize);
}

const std::string &PrizeDocument::text(int prize, Field field) const
{
    return record(prize)[static_cast<int>(field)].text;
}

Texts PrizeDocument::texts(int prize) const
{
    Texts texts;
    for (int f = 0; f < kFields; ++f)
        texts[f] = record(prize)[f].text;
    return texts;
}

void PrizeDocument::setText(int prize, Field field, std::string text)
{
    Line &line = records_.at(checked(prize))[static_cast<int>(field)];
    if (line.text == text)
        return; // keeps the bytes as read
    requireOneLine(text);
    line = {std::move(text), std::nullopt};
}

void PrizeDocument::insert(int at, const Texts &texts) { insertRecord(at, recordOf(texts)); }

void PrizeDocument::insertRecord(int at, Record record)
{
    if (at < 0 || at > size())
        throw std::out_of_range("cannot insert at " + std::to_string(at));
    records_.insert(records_.begin() + at, std::move(record));
}

void PrizeDocument::replaceRecord(int prize, Record record) { records_.at(checked(prize)) = std::move(record); }

void PrizeDocument::remove(int prize)
{
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(checked(prize)));
}

void PrizeDocument::move(int from, int to)
{
    Record record = records_.at(checked(from));
    records_.erase(records_.begin() + from);
    insertRecord(std::clamp(to, 0, size()), std::move(record));
}

bool PrizeDocument::looksUtf8WithoutMark() const
{
    return utf8WithoutMark_ && encoding_ == Encoding::Gbk && bytesEncoding_ == Encoding::Gbk;
}

std::string PrizeDocument::bytes() const
{
    if (read_.recordsIgnored)
        throw ListError(i18n::tr("the file holds more than {0} prizes: the game reads only the first {0}, and saving "
                                 "would drop the rest",
                                 Catalogue::kMaxPrizes));
    if (size() > Catalogue::kMaxPrizes)
        throw ListError(i18n::tr("the list holds {0} prizes, but the game reads only the first {1}: remove {2}", size(),
                                 Catalogue::kMaxPrizes, size() - Catalogue::kMaxPrizes));

    GbkEncoder gbk;
    std::string out(encoding_ == Encoding::Utf8 ? kByteOrderMark : "");
    for (int prize = 0; prize < size(); ++prize) {
        const auto where = [&](int f) {
            return i18n::tr("prize {0} \"{1}\": its {2}", prize + 1, shortened(text(prize, Field::Name)),
                            fieldLabel(static_cast<Field>(f)));
        };
        for (int f = 0; f < kFields; ++f) {
            const Line &line = records_[static_cast<std::size_t>(prize)][f];
            const std::size_t start = out.size();
            if (line.bytes && encoding_ == bytesEncoding_) {
                out += *line.bytes;
            } else if (encoding_ == Encoding::Utf8) {
                out += line.text;
            } else {
                std::string bad;
                const auto encoded = gbk.encode(line.text, bad);
                if (!encoded)
                    throw ListError(i18n::tr("{0} holds {1}, which GBK cannot hold; save the list as UTF-8 with a "
                                             "byte-order mark",
                                             where(f), describeCharacter(bad)));
                out += *encoded;
            }
            if (out.size() - start > kMaxLineBytes)
                throw ListError(i18n::tr("{0} takes {1} bytes, but the game reads only the first {2} of a line; "
                                         "shorten it",
                                         where(f), out.size() - start, kMaxLineBytes));
            out += "\r\n";
        }
    }
    return out;
}

std::string PrizeDocument::save(const std::filesystem::path &file)
{
    const std::string written = bytes();
    std::string note = saveListFiles(file, written, {}, Backup::Keep);
    takeAsSaved(written);
    return note;
}

void PrizeDocument::takeAsSaved(const std::string &written)
{
    // Every line as written.
    std::size_t pos = encoding_ == Encoding::Utf8 ? kByteOrderMark.size() : 0;
    for (Record &record : records_) {
        for (Line &line : record) {
            const std::size_t end = written.find("\r\n", pos);
            line.bytes = written.substr(pos, end - pos);
            pos = end + 2;
        }
    }
    bytesEncoding_ = encoding_;
    read_ = {};
    read_.readAsUtf8 = encoding_ == Encoding::Utf8;
    utf8WithoutMark_ = false;
    fileHasMark_ = encoding_ == Encoding::Utf8;
}

std::unique_ptr<LineInput> PrizeDocument::lines() const
{
    std::vector<std::string> texts;
    texts.reserve(records_.size() * kFields);
    for (const Record &record : records_)
        for (const Line &line : record)
            texts.push_back(line.text);
    return std::make_unique<DocumentLines>(std::move(texts), encoding_ == Encoding::Utf8);
}

} // namespace authoring
