// A prize list as CSV for spreadsheet programs: RFC 4180, UTF-8 behind a
// byte-order mark, CR LF, a header row "weight,color,name,amount,note".
#pragma once

#include "prize_document.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace authoring {

// No CSV of 1000 prizes comes near this; a bigger file is not read at all.
inline constexpr std::size_t kMaxCsvBytes = 4 * 1024 * 1024;
// Columns a header may have: the five of a list and room for a spreadsheet's own.
inline constexpr std::size_t kMaxCsvColumns = 256;

// One row per prize with its five texts exactly as the list holds them.
std::string toCsv(const PrizeDocument &document);

// How a CSV's bytes are read: UTF-8 when they start with its byte-order mark
// or are valid UTF-8 without it, otherwise GBK, as spreadsheet programs on
// Chinese Windows save "CSV".
enum class CsvEncoding { Utf8WithMark, Utf8, Gbk };
CsvEncoding csvEncoding(std::string_view bytes);
const char *describe(CsvEncoding encoding); // "UTF-8 with a byte-order mark", "UTF-8", "GBK"

// A document from CSV as toCsv writes it, in the encoding csvEncoding finds:
// columns found by the header's names, "note" optional, a colour written
// "#RRGGBB" turned into the game's number. Throws ListError whose message
// starts "line N: " for CSV that cannot be read or a list the game cannot
// hold; reading stops at the first such row. Text over kMaxCsvBytes is
// refused unread.
PrizeDocument fromCsv(std::string_view bytes);

// At most kMaxCsvBytes + 1 bytes of the file, so that fromCsv can refuse a
// bigger one without it ever being held. Throws ListError when the file
// cannot be read.
std::string readCsvFile(const std::filesystem::path &file);

// "#RRGGBB" as the game's colour number red + 256 x green + 65536 x blue,
// or nullopt when text is not of that form.
std::optional<std::int32_t> colorOfHex(std::string_view text);

} // namespace authoring
