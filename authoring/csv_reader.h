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
    int row = 0;  // the row a spreadsheet shows it on: line ends inside quotes do not count
    std::vector<std::string> fields;
    bool tooManyFields = false; // more than next()'s maxFields: the rest of the row is not read
};

// "line L, spreadsheet row R: what", the place of a fault in a CSV.
[[noreturn]] void failAtRow(int line, int row, const std::string &what);

// Fields are separated by the separator (a comma unless a spreadsheet's
// "sep=" line says otherwise) and rows by CR LF, LF or CR; a field in double
// quotes may hold separators, line breaks and quotes written twice. Blanks
// belong to the field. Blank lines are skipped. text starts on line firstLine
// of the file and on the spreadsheet's first row.
class CsvReader {
public:
    explicit CsvReader(std::string_view text, char separator = ',', int firstLine = 1)
        : text_(text), separator_(separator), line_(firstLine)
    {
    }

    // The next row, or nullopt at the end of the text. A row of more than
    // maxFields fields stops reading at the first field too many and comes
    // back with tooManyFields set. Throws ListError "line N, ..." for a quote
    // in the middle of a field, text after a closing quote, or a quote never
    // closed.
    std::optional<CsvRow> next(std::size_t maxFields);

private:
    std::string quotedField(int rowLine, int row);
    std::string plainField();
    bool atLineEnd() const;
    void skipLineEnd();

    std::string_view text_;
    char separator_;
    std::size_t pos_ = 0;
    int line_;
    int row_ = 1;
};

} // namespace authoring
