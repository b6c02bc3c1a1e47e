// Fuzzes the rows a drop carries: any payload is refused or gives distinct
// rows in range that write back to the same payload once sorted.
#include "dragged_rows.h"
#include "fuzz_check.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int rowCount = data[0] * 5; // up to 1275, past the 1000 prizes a list holds
    const std::string payload(reinterpret_cast<const char *>(data + 1), size - 1);
    const std::string source = "prizeedit:1:ab";
    const auto rows = authoring::parseDraggedRows(payload, source, rowCount);
    if (!rows)
        return 0;
    check(!rows->empty() && std::is_sorted(rows->begin(), rows->end()));
    check(std::adjacent_find(rows->begin(), rows->end()) == rows->end());
    check(rows->front() >= 0 && rows->back() < rowCount);
    check(authoring::parseDraggedRows(authoring::draggedRows(source, *rows), source, rowCount) == rows);
    return 0;
}
