// CSV export and import of prize lists.
#include "prize_csv.h"

#include "i18n.h"

#include "csv_reader.h"
#include "number_text.h"
#include "runtime_error.h"
#include "system_words.h"
#include "text_decoding.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>

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

// The header names each field goes by: the file's own, and the editor's column names.
constexpr std::array<std::array<std::string_view, 3>, kFields> kColumnNames = {{
    {"weight", "权重", ""},
    {"color", "colour", "颜色"},
    {"name", "名称", ""},
    {"amount", "数量", ""},
    {"note", "备注", ""},
}};

std::optional<Field> fieldOfColumn(std::string_view name)
{
    for (int f = 0; f < kFields; ++f)
        for (std::string_view known : kColumnNames[f])
            if (!known.empty() && name == known)
                return static_cast<Field>(f);
    return std::nullopt;
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string lowered(std::string_view text)
{
    std::string out(trimmed(text));
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

int lineOf(std::string_view text, std::size_t at)
{
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

// An encoding fault is placed by line alone: rows are not known before the text is.
[[noreturn]] void failAtLine(int line, const std::string &what)
{
    throw ListError(i18n::tr("line {0}: {1}", line, what));
}

int lineOfFirstInvalidByte(std::string_view text)
{
    // sanitizeUtf8 copies valid text through, so the first difference is the bad byte.
    const std::string clean = catalogue::sanitizeUtf8(text);
    const auto bad = std::mismatch(text.begin(), text.end(), clean.begin(), clean.end()).first;
    return lineOf(text, static_cast<std::size_t>(bad - text.begin()));
}

// The text of the CSV as UTF-8, read in encoding.
std::string decoded(std::string_view bytes, CsvEncoding encoding)
{
    switch (encoding) {
    case CsvEncoding::Utf8WithMark:
        bytes.remove_prefix(kByteOrderMark.size());
        if (catalogue::sanitizeUtf8(bytes) != bytes)
            failAtLine(lineOfFirstInvalidByte(bytes),
                       i18n::tr("this is not UTF-8 text, though it starts with UTF-8's "
                                "byte-order mark (save the spreadsheet as CSV UTF-8 again)"));
        return std::string(bytes);
    case CsvEncoding::Utf8:
        if (catalogue::sanitizeUtf8(bytes) != bytes)
            failAtLine(lineOfFirstInvalidByte(bytes), i18n::tr("this is not UTF-8 text"));
        return std::string(bytes);
    case CsvEncoding::Gbk: break;
    }
    std::string text = catalogue::GbkDecoder().decode(bytes);
    // GBK holds no U+FFFD: one here stands for bytes that are no text, or for
    // its user-defined area, which the game shows as bad bytes too.
    const std::size_t bad = text.find("\uFFFD");
    if (bad != std::string::npos)
        failAtLine(lineOf(text, bad),
                   i18n::tr("this is neither UTF-8 nor GBK text (save the spreadsheet as CSV UTF-8)"));
    return text;
}

// Excel's "sep=;" first line names the separator; Excel reads it without
// showing it as a row.
struct SeparatorLine {
    char separator = ',';
    std::size_t length = 0; // of the line with its line end; 0 when there is none
};

SeparatorLine separatorLine(std::string_view text)
{
    if (text.size() < 4 || lowered(text.substr(0, 4)) != "sep=")
        return {};
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    const std::string_view value = text.substr(4, end - 4);
    if (value.size() != 1 || value[0] == '"')
        failAtRow(1, 1,
                  i18n::tr("the first line \"{0}\" should name one separator, as in sep=, or sep=;",
                           std::string(text.substr(0, end))));
    std::size_t length = end;
    if (length < text.size())
        length += text.compare(length, 2, "\r\n") == 0 ? 2 : 1;
    return {value[0], length};
}

// Excel writes a number in its percent format as "21%": that many percent.
void takePercentAsNumber(std::string &weight)
{
    const std::string_view text = trimmed(weight);
    if (!text.ends_with('%'))
        return;
    const std::string_view number = trimmed(text.substr(0, text.size() - 1));
    try {
        if (catalogue::parseNumber(number))
            weight = std::string(number);
    } catch (const catalogue::RuntimeError &) {
        // Beyond the doubles: left as written, which the game counts as 0.
    }
}

struct ReadRows {
    PrizeDocument document;
    std::vector<int> rows;
};

// Pasted rows: no header needed, columns may be left out, rows may stop
// early; what is missing takes the texts of a new prize.
struct Pasting {
    Texts missing;
};

ReadRows readRows(const std::string &text, const Pasting *pasting = nullptr)
{
    const SeparatorLine sep = separatorLine(text);
    CsvReader reader(std::string_view(text).substr(sep.length), sep.separator, sep.length ? 2 : 1);

    std::optional<CsvRow> header = reader.next(kMaxCsvColumns);
    if (!header)
        failAtRow(1, 1, i18n::tr("no header row (weight,color,name,amount,note)"));
    if (header->tooManyFields)
        failAtRow(header->line, header->row,
                  i18n::tr("more than {0} columns in the header (a list needs weight, color, name, amount and note)",
                           kMaxCsvColumns));
    std::size_t width = header->fields.size();
    std::array<std::optional<std::size_t>, kFields> columnOf;
    std::optional<CsvRow> firstRow;
    const bool named = std::all_of(header->fields.begin(), header->fields.end(), [](const std::string &field) {
        return fieldOfColumn(lowered(field)).has_value();
    });
    if (pasting && !named) {
        // No header: the columns stand in the list's own order.
        for (int f = 0; f < kFields; ++f)
            columnOf[f] = std::size_t(f);
        firstRow = std::move(header);
        width = std::max<std::size_t>(width, kFields);
    } else {
        std::set<std::string> names;
        for (std::size_t c = 0; c < width; ++c) {
            const std::string name = lowered(header->fields[c]);
            const std::optional<Field> field = fieldOfColumn(name);
            if (!names.insert(name).second || (field && columnOf[static_cast<int>(*field)]))
                failAtRow(header->line, header->row, i18n::tr("the column \"{0}\" is named twice", header->fields[c]));
            if (field)
                columnOf[static_cast<int>(*field)] = c;
        }
        for (int f = 0; f < kFields && !pasting; ++f)
            if (!columnOf[f] && static_cast<Field>(f) != Field::Note)
                failAtRow(
                    header->line, header->row,
                    i18n::tr("no \"{0}\" column in the header (it needs weight, color, name, amount; note is optional)",
                             fieldName(static_cast<Field>(f))));
    }

    ReadRows read;
    while (std::optional<CsvRow> row = firstRow ? std::exchange(firstRow, std::nullopt) : reader.next(width)) {
        if (row->tooManyFields)
            failAtRow(row->line, row->row, i18n::tr("more fields than the {0} of the header", width));
        if (std::all_of(row->fields.begin(), row->fields.end(), [](const std::string &f) { return f.empty(); }))
            continue; // a spreadsheet's trailing ",,,," rows
        if (pasting)
            row->fields.resize(width);
        if (row->fields.size() != width)
            failAtRow(row->line, row->row, i18n::tr("{0} fields, but the header has {1}", row->fields.size(), width));
        if (read.document.size() == catalogue::Catalogue::kMaxPrizes)
            failAtRow(
                row->line, row->row,
                i18n::tr("more than {0} prizes: the game reads only the first {0}", catalogue::Catalogue::kMaxPrizes));
        Texts texts;
        bool anyText = false;
        for (int f = 0; f < kFields; ++f) {
            if (!columnOf[f] || (pasting && row->fields[*columnOf[f]].empty())) {
                if (pasting)
                    texts[f] = pasting->missing[f];
                continue;
            }
            texts[f] = row->fields[*columnOf[f]];
            anyText = anyText || !texts[f].empty();
            if (texts[f].find_first_of("\r\n") != std::string::npos)
                failAtRow(row->line, row->row,
                          i18n::tr("the {0} holds a line break, which a line of a prize list cannot hold",
                                   fieldLabel(static_cast<Field>(f))));
        }
        if (!anyText)
            continue; // text only in a column the list has no use for: no prize at all
        takePercentAsNumber(texts[static_cast<int>(Field::Weight)]);
        std::string &color = texts[static_cast<int>(Field::Color)];
        if (color.starts_with('#')) {
            const auto number = colorOfHex(color);
            if (!number)
                failAtRow(row->line, row->row, i18n::tr("the colour \"{0}\" is not of the form #RRGGBB", color));
            color = std::to_string(*number);
        }
        read.document.insert(read.document.size(), texts);
        read.rows.push_back(row->row);
    }

    // Such a list shows only empty cards; most often the weights are text
    // that is no number, and an import must not replace a working list with it.
    if (pasting)
        return read;
    bool anyDrawn = false;
    for (int prize = 0; prize < read.document.size() && !anyDrawn; ++prize)
        anyDrawn = catalogue::weightOf(catalogue::Variant(read.document.text(prize, Field::Weight))) > 0;
    if (!anyDrawn)
        throw ListError(read.document.size() == 0
                            ? i18n::tr("the CSV holds no prize below its header, so nothing was imported")
                            : i18n::tr("no prize has a weight above 0, so every draw would show an empty card; "
                                       "nothing was imported. Write each weight as a number, such as 21 or 21%"));
    return read;
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

CsvEncoding csvEncoding(std::string_view bytes) { return guessCsvEncoding(bytes).encoding; }

const char *describe(CsvEncoding encoding)
{
    switch (encoding) {
    case CsvEncoding::Utf8WithMark: return i18n::tr("UTF-8 with a byte-order mark");
    case CsvEncoding::Utf8: return "UTF-8";
    case CsvEncoding::Gbk: return "GBK";
    }
    return "";
}

std::string readCsvFile(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw ListError(i18n::tr("cannot open {0}: {1}", file.string(), whyUnreadable(file)));
    std::string bytes;
    char chunk[64 * 1024];
    while (bytes.size() <= kMaxCsvBytes && in) {
        in.read(chunk, static_cast<std::streamsize>(std::min(sizeof chunk, kMaxCsvBytes + 1 - bytes.size())));
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad())
        throw ListError(i18n::tr("cannot read {0}: {1}", file.string(), whyUnreadable(file)));
    return bytes;
}

CsvImport importCsv(std::string_view bytes, std::optional<CsvEncoding> forced)
{
    if (bytes.size() > kMaxCsvBytes)
        throw ListError(i18n::tr("the file is over {0} MiB, far more than a CSV of 1000 prizes needs, so it was not "
                                 "read (is it the right file?)",
                                 kMaxCsvBytes / (1024 * 1024)));
    EncodingGuess guess = guessCsvEncoding(bytes);
    if (forced && guess.encoding != CsvEncoding::Utf8WithMark)
        guess = {*forced, false};
    ReadRows read = readRows(decoded(bytes, guess.encoding));
    CsvImport result{std::move(read.document), std::move(read.rows), guess.encoding, std::nullopt, std::nullopt};
    if (guess.close) {
        const CsvEncoding other = guess.encoding == CsvEncoding::Gbk ? CsvEncoding::Utf8 : CsvEncoding::Gbk;
        try {
            result.otherReading = readRows(decoded(bytes, other)).document;
            result.otherEncoding = other;
        } catch (const ListError &) {
            // The other reading gives no list: nothing to choose.
        }
    }
    return result;
}

PrizeDocument fromCsv(std::string_view bytes) { return importCsv(bytes).document; }

PrizeDocument pastedRows(std::string_view text, const Texts &missing)
{
    if (text.size() > kMaxCsvBytes)
        throw ListError(i18n::tr("more than {0} MB of text", kMaxCsvBytes >> 20));
    const Pasting pasting{missing};
    return readRows("sep=\t\r\n" + std::string(text), &pasting).document;
}

std::string firstNames(const PrizeDocument &document, int count)
{
    std::string out;
    for (int prize = 0; prize < std::min(count, document.size()); ++prize)
        out += (prize ? ", \"" : "\"") + document.text(prize, Field::Name) + "\"";
    if (document.size() > count)
        out += ", …";
    return out;
}

} // namespace authoring
