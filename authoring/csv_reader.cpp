// A CSV reader of our own: a few dozen lines, so that every build, the
// Windows one included, reads CSV the same way.
#include "csv_reader.h"

#include "i18n.h"

#include "prize_document.h"

#include <algorithm>

namespace authoring {

void failAtRow(int line, int row, const std::string &what)
{
    throw ListError(i18n::tr("line {0}, spreadsheet row {1}: {2}", line, row, what));
}

namespace {
[[noreturn]] void quoteOutOfPlace(int line, int row)
{
    failAtRow(line, row,
              i18n::tr("a quote inside a field that does not start with one, or text after a closing quote "
                       "(write a quote inside a quoted field as two)"));
}
} // namespace

bool CsvReader::atLineEnd() const { return text_[pos_] == '\r' || text_[pos_] == '\n'; }

void CsvReader::skipLineEnd()
{
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')
        ++pos_;
    ++pos_;
    ++line_;
    ++row_;
}

std::optional<CsvRow> CsvReader::next(std::size_t maxFields)
{
    while (pos_ < text_.size() && atLineEnd())
        skipLineEnd();
    if (pos_ == text_.size())
        return std::nullopt;

    CsvRow row;
    row.line = line_;
    row.row = row_;
    while (true) {
        if (row.fields.size() == maxFields) {
            row.tooManyFields = true;
            return row;
        }
        row.fields.push_back(pos_ < text_.size() && text_[pos_] == '"' ? quotedField(row.line, row.row) : plainField());
        if (pos_ == text_.size())
            return row;
        if (atLineEnd()) {
            skipLineEnd();
            return row;
        }
        ++pos_; // the separator
    }
}

std::string CsvReader::plainField()
{
    const char ends[] = {separator_, '\r', '\n', '\0'};
    const std::size_t end = std::min(text_.find_first_of(ends, pos_), text_.size());
    const std::string_view field = text_.substr(pos_, end - pos_);
    if (field.find('"') != std::string_view::npos)
        quoteOutOfPlace(line_, row_);
    pos_ = end;
    return std::string(field);
}

std::string CsvReader::quotedField(int rowLine, int row)
{
    std::string field;
    ++pos_; // the opening quote
    while (true) {
        const std::size_t quote = text_.find('"', pos_);
        if (quote == std::string_view::npos)
            failAtRow(rowLine, row, i18n::tr("a quote opened in this row is never closed"));
        const std::string_view part = text_.substr(pos_, quote - pos_);
        for (std::size_t i = 0; i < part.size(); ++i)
            if (part[i] == '\n' || (part[i] == '\r' && (i + 1 == part.size() || part[i + 1] != '\n')))
                ++line_;
        field += part;
        pos_ = quote + 1;
        if (pos_ < text_.size() && text_[pos_] == '"') { // a quote written twice
            field += '"';
            ++pos_;
            continue;
        }
        if (pos_ < text_.size() && text_[pos_] != separator_ && !atLineEnd())
            quoteOutOfPlace(line_, row);
        return field;
    }
}

} // namespace authoring
