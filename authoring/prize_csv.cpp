// CSV export and import of prize lists.
#include "prize_csv.h"

#include "i18n.h"

#include "csv_reader.h"
#include "text_decoding.h"

#include <algorithm>
#include <cctype>
#include <fstream>
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

[[noreturn]] void failAt(int line, const std::string &what)
{
    throw ListError(i18n::tr("line {0}: {1}", line, what));
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

int lineOf(std::string_view text, std::size_t at)
{
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

int lineOfFirstInvalidByte(std::string_view text)
{
    // sanitizeUtf8 copies valid text through, so the first difference is the bad byte.
    const std::string clean = catalogue::sanitizeUtf8(text);
    const auto bad = std::mismatch(text.begin(), text.end(), clean.begin(), clean.end()).first;
    return lineOf(text, static_cast<std::size_t>(bad - text.begin()));
}

// The text of the CSV as UTF-8, by the rule of csvEncoding.
std::string decoded(std::string_view bytes)
{
    switch (csvEncoding(bytes)) {
    case CsvEncoding::Utf8WithMark:
        bytes.remove_prefix(kByteOrderMark.size());
        if (catalogue::sanitizeUtf8(bytes) != bytes)
            failAt(lineOfFirstInvalidByte(bytes), i18n::tr("this is not UTF-8 text, though it starts with UTF-8's "
                                                           "byte-order mark (save the spreadsheet as CSV UTF-8 again)"));
        return std::string(bytes);
    case CsvEncoding::Utf8: return std::string(bytes);
    case CsvEncoding::Gbk: break;
    }
    std::string text = catalogue::GbkDecoder().decode(bytes);
    // GBK holds no U+FFFD: one here stands for bytes that are no text, or for
    // its user-defined area, which the game shows as bad bytes too.
    const std::size_t bad = text.find("\uFFFD");
    if (bad != std::string::npos)
        failAt(lineOf(text, bad), i18n::tr("this is neither UTF-8 nor GBK text (save the spreadsheet as CSV UTF-8)"));
    return text;
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

CsvEncoding csvEncoding(std::string_view bytes)
{
    if (bytes.starts_with(kByteOrderMark))
        return CsvEncoding::Utf8WithMark;
    return catalogue::sanitizeUtf8(bytes) == bytes ? CsvEncoding::Utf8 : CsvEncoding::Gbk;
}

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
        throw ListError(i18n::tr("cannot open {0}", file.string()));
    std::string bytes;
    char chunk[64 * 1024];
    while (bytes.size() <= kMaxCsvBytes && in) {
        in.read(chunk, static_cast<std::streamsize>(std::min(sizeof chunk, kMaxCsvBytes + 1 - bytes.size())));
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad())
        throw ListError(i18n::tr("cannot read {0}", file.string()));
    return bytes;
}

PrizeDocument fromCsv(std::string_view bytes)
{
    if (bytes.size() > kMaxCsvBytes)
        throw ListError(i18n::tr("the file is over {0} MiB, far more than a CSV of 1000 prizes needs, so it was not "
                                 "read (is it the right file?)",
                                 kMaxCsvBytes / (1024 * 1024)));
    const std::string text = decoded(bytes);
    CsvReader reader(text);

    const std::optional<CsvRow> header = reader.next(kMaxCsvColumns);
    if (!header)
        failAt(1, i18n::tr("no header row (weight,color,name,amount,note)"));
    if (header->tooManyFields)
        failAt(header->line, i18n::tr("more than {0} columns in the header (a list needs weight, color, name, amount "
                                      "and note)",
                                      kMaxCsvColumns));
    const std::size_t width = header->fields.size();
    std::map<std::string, std::size_t> columns;
    for (std::size_t c = 0; c < width; ++c)
        if (!columns.emplace(lowered(header->fields[c]), c).second)
            failAt(header->line, i18n::tr("the column \"{0}\" is named twice", header->fields[c]));
    std::array<std::optional<std::size_t>, kFields> columnOf;
    for (int f = 0; f < kFields; ++f) {
        const auto found = columns.find(fieldName(static_cast<Field>(f)));
        if (found != columns.end())
            columnOf[f] = found->second;
        else if (static_cast<Field>(f) != Field::Note)
            failAt(header->line,
                   i18n::tr("no \"{0}\" column in the header (it needs weight, color, name, amount; note is optional)",
                            fieldName(static_cast<Field>(f))));
    }

    PrizeDocument document;
    while (const std::optional<CsvRow> row = reader.next(width)) {
        if (row->tooManyFields)
            failAt(row->line, i18n::tr("more fields than the {0} of the header", width));
        if (row->fields.size() != width)
            failAt(row->line, i18n::tr("{0} fields, but the header has {1}", row->fields.size(), width));
        if (document.size() == catalogue::Catalogue::kMaxPrizes)
            failAt(row->line, i18n::tr("more than {0} prizes: the game reads only the first {0}",
                                       catalogue::Catalogue::kMaxPrizes));
        Texts texts;
        for (int f = 0; f < kFields; ++f) {
            if (!columnOf[f])
                continue;
            texts[f] = row->fields[*columnOf[f]];
            if (texts[f].find_first_of("\r\n") != std::string::npos)
                failAt(row->line, i18n::tr("the {0} holds a line break, which a line of a prize list cannot hold",
                                           fieldLabel(static_cast<Field>(f))));
        }
        std::string &color = texts[static_cast<int>(Field::Color)];
        if (color.starts_with('#')) {
            const auto number = colorOfHex(color);
            if (!number)
                failAt(row->line, i18n::tr("the colour \"{0}\" is not of the form #RRGGBB", color));
            color = std::to_string(*number);
        }
        document.insert(document.size(), texts);
    }
    return document;
}

} // namespace authoring
