// A prize list as CSV for spreadsheet programs: RFC 4180, UTF-8 behind a
// byte-order mark, CR LF, a header row "weight,color,name,amount,note".
#pragma once

#include "csv_encoding.h"
#include "prize_document.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace authoring {

// No CSV of 1000 prizes comes near this; a bigger file is not read at all.
inline constexpr std::size_t kMaxCsvBytes = 4 * 1024 * 1024;
// Columns a header may have: the five of a list and room for a spreadsheet's own.
inline constexpr std::size_t kMaxCsvColumns = 256;

// One row per prize with its five texts exactly as the list holds them.
std::string toCsv(const PrizeDocument &document);

// How a CSV's bytes are read (see guessCsvEncoding): UTF-8 after its
// byte-order mark, otherwise UTF-8 or GBK (what spreadsheet programs on
// Chinese Windows save as "CSV"), whichever gives the likelier text.
CsvEncoding csvEncoding(std::string_view bytes);
const char *describe(CsvEncoding encoding); // "UTF-8 with a byte-order mark", "UTF-8", "GBK"

// A CSV read as a list, with what the user may want to know about it.
struct CsvImport {
    PrizeDocument document;
    std::vector<int> rows; // each prize's spreadsheet row, from 1
    CsvEncoding encoding = CsvEncoding::Utf8;
    // When the bytes are valid in the other encoding too, its text is nearly
    // as likely and it gives a list as well: that encoding and that list.
    std::optional<CsvEncoding> otherEncoding;
    std::optional<PrizeDocument> otherReading;
};

// A document from CSV as toCsv writes it or a spreadsheet saves it, in the
// encoding csvEncoding finds, or in forced (Utf8 or Gbk) unless the bytes
// start with a byte-order mark. Columns are found by the header's names in
// English or as the editor shows them in Chinese (权重, 颜色, 名称, 数量, 备注),
// "note" optional; a first line "sep=;" sets the separator; rows with every
// field empty are skipped; a weight "21%" is read as 21; a colour "#RRGGBB"
// becomes the game's number. Throws ListError whose message starts
// "line N, spreadsheet row R: " for CSV that cannot be read or a list the game
// cannot hold (reading stops at the first such row), and for a list in which
// no prize has a weight above 0. Text over kMaxCsvBytes is refused unread.
CsvImport importCsv(std::string_view bytes, std::optional<CsvEncoding> forced = std::nullopt);
PrizeDocument fromCsv(std::string_view bytes); // importCsv(bytes).document

// Rows copied from a spreadsheet or the prize table (UTF-8, tab-separated),
// read by importCsv's rules for each cell. A first row that names columns as
// a header does sets their order and may leave some out; without one the
// columns stand in the list's order (weight, color, name, amount, note) and
// a row may stop early. A column left out or a cell left empty takes its
// text from missing. Throws ListError "line N, ..." as importCsv does.
PrizeDocument pastedRows(std::string_view text, const Texts &missing);

// The first count names of a list, quoted and separated by commas, with
// "…" when there are more: to show two readings side by side.
std::string firstNames(const PrizeDocument &document, int count = 3);

// At most kMaxCsvBytes + 1 bytes of the file, so that fromCsv can refuse a
// bigger one without it ever being held. Throws ListError when the file
// cannot be read, with the system's words for why.
std::string readCsvFile(const std::filesystem::path &file);

// "#RRGGBB" as the game's colour number red + 256 x green + 65536 x blue,
// or nullopt when text is not of that form.
std::optional<std::int32_t> colorOfHex(std::string_view text);

} // namespace authoring
