// Rows of CSV as spreadsheet programs write it (RFC 4180), read one at a time
// so that a caller can stop at a bound before the rest of the text is held.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace authoring {

struct CsvRow {
    int line = 0; // where the row starts, counting CR LF, LF or CR as one line end
    std::vector<std::string> fields;
    bool tooManyFields = false; // more than next()'s maxFields: the rest of the row is not read
};

// Fields are separated by commas and rows by CR LF, LF or CR; a field in
// double quotes may hold commas, line breaks and quotes written twice.
// Blanks belong to the field. Blank lines are skipped.
class CsvReader {
public:
    explicit CsvReader(std::string_view text) : text_(text) {}

    // The next row, or nullopt at the end of the text. A row of more than
    // maxFields fields stops reading at the first field too many and comes
    // back with tooManyFields set. Throws ListError "line N: ..." for a quote
    // in the middle of a field, text after a closing quote, or a quote never
    // closed.
    std::optional<CsvRow> next(std::size_t maxFields);

private:
    std::string quotedField(int rowLine);
    std::string plainField();
    bool atLineEnd() const;
    void skipLineEnd();

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

} // namespace authoring
