// Fuzzes the reader of the editor's recovery copy: any input is refused with
// a ListError or gives edits that write back to the same copy.
#include "recovery.h"
#include "fuzz_check.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view copy(reinterpret_cast<const char *>(data), size);
    authoring::Recovered recovered;
    try {
        recovered = authoring::readRecovery(copy);
    } catch (const authoring::ListError &) {
        return 0;
    }
    const std::string again = authoring::recoveryBytes(recovered.document, recovered.pictures);
    const authoring::Recovered back = authoring::readRecovery(again);
    check(back.document.size() == recovered.document.size());
    check(authoring::recoveryBytes(back.document, back.pictures) == again);
    return 0;
}
