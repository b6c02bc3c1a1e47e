// The rows a drag or copy out of the prize table carries: the table it came
// from, then the rows, as text, so that a drop checks both before it moves any.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace authoring {

// "<source> <row> <row> ...", rows in decimal.
std::string draggedRows(std::string_view source, const std::vector<int> &rows);

// The rows, sorted, when payload is well formed, comes from source (which
// holds no blank) and names distinct rows below rowCount; none otherwise.
std::optional<std::vector<int>> parseDraggedRows(std::string_view payload, std::string_view source, int rowCount);

} // namespace authoring
