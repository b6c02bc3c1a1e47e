// CSV export and import of prize lists, parsed by libcsv.
#include "prize_csv.h"

#include "text_decoding.h"

#include <csv.h>

#include <algorithm>
#include <cctype>
#include <map>

namespace authoring {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string quoted(const std::string &text)
{
    // Blanks at either end are quoted too, so that no program trims them.
    const bool plain = text.find_first_of(",\"\r\n") == std::string::npos &&
                       (text.empty() || (text.front() != ' ' && text.back() != ' '));
    if (plain)
        return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

struct Row {
    int line = 0; // where the row starts
    std::vector<std::string> fields;
};

[[noreturn]] void failAt(int line, const std::string &what)
{
    throw ListError("line " + std::to_string(line) + ": " + what);
}

// Runs libcsv over the text a physical line at a time, so that every row
// knows the line it starts on.
class RowReader {
public:
    RowReader()
    {
        csv_init(&parser_, CSV_STRICT | CSV_STRICT_FINI);
        csv_set_space_func(&parser_, [](unsigned char) { return 0; }); // blanks belong to the field
    }
    ~RowReader() { csv_free(&parser_); }
    RowReader(const RowReader &) = delete;
    RowReader &operator=(const RowReader &) = delete;

    std::vector<Row> read(std::string_view text)
    {
        int line = 0;
        while (!text.empty()) {
            const std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
            const std::string_view physical = text.substr(0, end);
            text.remove_prefix(end);
            ++line;
            if (rowStart_ == 0 && physical.find_first_not_of("\r\n") != std::string_view::npos)
                rowStart_ = line;
            if (csv_parse(&parser_, physical.data(), physical.size(), &RowReader::endField, &RowReader::endRow,
                          this) != physical.size())
                failAt(line, "a quote inside a field that does not start with one, or text after a closing "
                             "quote (write a quote inside a quoted field as two)");
        }
        if (csv_fini(&parser_, &RowReader::endField, &RowReader::endRow, this) != 0)
            failAt(rowStart_, "a quote opened in this row is never closed");
        return std::move(rows_);
    }

private:
    static void endField(void *field, std::size_t size, void *self)
    {
        static_cast<RowReader *>(self)->fields_.emplace_back(static_cast<const char *>(field), size);
    }
    static void endRow(int, void *data)
    {
        auto *self = static_cast<RowReader *>(data);
        self->rows_.push_back({self->rowStart_, std::move(self->fields_)});
        self->fields_.clear();
        self->rowStart_ = 0;
    }

    csv_parser parser_{};
    std::vector<Row> rows_;
    std::vector<std::string> fields_;
    int rowStart_ = 0;
};

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

int lineOfFirstInvalidByte(std::string_view text)
{
    // sanitizeUtf8 copies valid text through, so the first difference is the bad byte.
    const std::string clean = catalogue::sanitizeUtf8(text);
    const auto bad = std::mismatch(text.begin(), text.end(), clean.begin(), clean.end()).first;
    return 1 + static_cast<int>(std::count(text.begin(), bad, '\n'));
}

} // namespace

std::optional<std::int32_t> colorOfHex(std::string_view text)
{
    if (text.size() != 7 || text[0] != '#' ||
        !std::all_of(text.begin() + 1, text.end(), [](unsigned char c) { return std::isxdigit(c); }))
        return std::nullopt;
    const auto channel = [&](std::size_t at) { return std::stoi(std::string(text.substr(at, 2)), nullptr, 16); };
    return channel(1) + 256 * channel(3) + 65536 * channel(5);
}

std::string toCsv(const PrizeDocument &document)
{
    std::string out(kByteOrderMark);
    out += "weight,color,name,amount,note\r\n";
    for (int prize = 0; prize < document.size(); ++prize) {
        const Texts texts = document.texts(prize);
        for (int f = 0; f < kFields; ++f)
            out += (f ? "," : "") + quoted(texts[f]);
        out += "\r\n";
    }
    return out;
}

PrizeDocument fromCsv(std::string_view csv)
{
    if (csv.starts_with(kByteOrderMark))
        csv.remove_prefix(kByteOrderMark.size());
    if (catalogue::sanitizeUtf8(csv) != csv)
        failAt(lineOfFirstInvalidByte(csv), "this is not UTF-8 text (save the spreadsheet as CSV in UTF-8)");

    const std::vector<Row> rows = RowReader().read(csv);
    if (rows.empty())
        failAt(1, "no header row (weight,color,name,amount,note)");

    const Row &header = rows.front();
    std::map<std::string, std::size_t> columns;
    for (std::size_t c = 0; c < header.fields.size(); ++c)
        if (!columns.emplace(lowered(header.fields[c]), c).second)
            failAt(header.line, "the column \"" + header.fields[c] + "\" is named twice");
    std::array<std::optional<std::size_t>, kFields> columnOf;
    for (int f = 0; f < kFields; ++f) {
        const auto found = columns.find(fieldName(static_cast<Field>(f)));
        if (found != columns.end())
            columnOf[f] = found->second;
        else if (static_cast<Field>(f) != Field::Note)
            failAt(header.line, std::string("no \"") + fieldName(static_cast<Field>(f)) +
                                    "\" column in the header (it needs weight, color, name, amount; note is optional)");
    }

    if (rows.size() - 1 > static_cast<std::size_t>(catalogue::Catalogue::kMaxPrizes))
        failAt(rows[catalogue::Catalogue::kMaxPrizes + 1].line,
               "more than " + std::to_string(catalogue::Catalogue::kMaxPrizes) +
                   " prizes: the game reads only the first " + std::to_string(catalogue::Catalogue::kMaxPrizes));

    PrizeDocument document;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const Row &row = rows[r];
        if (row.fields.size() != header.fields.size())
            failAt(row.line, std::to_string(row.fields.size()) + " fields, but the header has " +
                                 std::to_string(header.fields.size()));
        Texts texts;
        for (int f = 0; f < kFields; ++f) {
            if (!columnOf[f])
                continue;
            texts[f] = row.fields[*columnOf[f]];
            if (texts[f].find_first_of("\r\n") != std::string::npos)
                failAt(row.line, std::string("the ") + fieldName(static_cast<Field>(f)) +
                                     " holds a line break, which a line of a prize list cannot hold");
        }
        std::string &color = texts[static_cast<int>(Field::Color)];
        if (color.starts_with('#')) {
            const auto number = colorOfHex(color);
            if (!number)
                failAt(row.line, "the colour \"" + color + "\" is not of the form #RRGGBB");
            color = std::to_string(*number);
        }
        document.insert(document.size(), texts);
    }
    return document;
}

} // namespace authoring
