// Fuzzes the CSV import, UTF-8 or GBK as the bytes say: any input is either
// refused with a line number (or as a whole, when no prize would be drawn) or
// gives a list of valid UTF-8 texts that exports and imports back to the same
// texts.
#include "prize_csv.h"
#include "fuzz_check.h"
#include "text_decoding.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view csv(reinterpret_cast<const char *>(data), size);
    authoring::PrizeDocument document;
    try {
        document = authoring::fromCsv(csv);
    } catch (const authoring::ListError &error) {
        const std::string_view message = error.what();
        check(message.starts_with("line ") || message.starts_with("no prize has a weight above 0") ||
              message.starts_with("the CSV holds no prize") || size > authoring::kMaxCsvBytes);
        return 0;
    }
    const bool gbk = authoring::csvEncoding(csv) == authoring::CsvEncoding::Gbk;
    for (int i = 0; i < document.size(); ++i)
        for (const std::string &text : document.texts(i))
            check(catalogue::sanitizeUtf8(text) == text && (!gbk || text.find("\uFFFD") == std::string::npos));
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
