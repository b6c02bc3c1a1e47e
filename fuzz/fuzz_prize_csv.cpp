// Fuzzes the CSV import: any input is either refused with a line number or
// gives a list that exports and imports back to the same texts.
#include "prize_csv.h"

#include <cstdlib>
#include <string>

namespace {
void check(bool condition)
{
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view csv(reinterpret_cast<const char *>(data), size);
    authoring::PrizeDocument document;
    try {
        document = authoring::fromCsv(csv);
    } catch (const authoring::ListError &error) {
        check(std::string_view(error.what()).starts_with("line "));
        return 0;
    }
    const authoring::PrizeDocument back = authoring::fromCsv(authoring::toCsv(document));
    check(back.size() == document.size());
    for (int i = 0; i < document.size(); ++i)
        check(back.texts(i) == document.texts(i));
    try {
        (void)document.bytes(); // GBK may refuse a text, but only by saying so
    } catch (const authoring::ListError &) {
    }
    return 0;
}
