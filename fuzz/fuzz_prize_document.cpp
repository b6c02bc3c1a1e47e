// Fuzzes the list document: any data.ini is either refused with a message or
// opens, writes back to bytes that open to the same texts, and writes those
// bytes again unchanged; written as UTF-8 it also opens to the same texts.
#include "prize_document.h"
#include "fuzz_check.h"

#include <cstdlib>
#include <string>

namespace {

// Read from memory by the file reader's own rules: a scratch file per open
// cost more than the rest of the run.
authoring::PrizeDocument openBytes(std::string bytes)
{
    return authoring::PrizeDocument::read(catalogue::PrizeListFile::overBytes(std::move(bytes)), "data.ini");
}

bool sameTexts(const authoring::PrizeDocument &a, const authoring::PrizeDocument &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
        if (a.texts(i) != b.texts(i))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    authoring::PrizeDocument document;
    try {
        document = openBytes(std::string(reinterpret_cast<const char *>(data), size));
    } catch (const catalogue::RuntimeError &) {
        return 0; // too short to be a list, as the game says
    } catch (const authoring::ListError &) {
        return 0; // a line the game cuts
    }
    if (document.readReport().recordsIgnored)
        return 0; // saving is refused, as it would drop prizes

    const std::string written = document.bytes(); // every line as read: nothing to refuse
    const authoring::PrizeDocument again = openBytes(written);
    check(sameTexts(document, again));
    check(again.bytes() == written);

    // Another encoding may make a line too long or hold what GBK cannot, but only by saying so.
    authoring::PrizeDocument utf8 = document;
    utf8.setEncoding(authoring::Encoding::Utf8);
    try {
        check(sameTexts(document, openBytes(utf8.bytes())));
    } catch (const authoring::ListError &) {
    }
    return 0;
}
