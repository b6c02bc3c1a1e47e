// Writing and checking the rows a drag carries.
#include "dragged_rows.h"

#include <algorithm>
#include <charconv>

namespace authoring {

std::string draggedRows(std::string_view source, const std::vector<int> &rows)
{
    std::string payload(source);
    for (int row : rows)
        payload += ' ' + std::to_string(row);
    return payload;
}

std::optional<std::vector<int>> parseDraggedRows(std::string_view payload, std::string_view source, int rowCount)
{
    if (payload.substr(0, source.size()) != source)
        return std::nullopt;
    payload.remove_prefix(source.size());
    std::vector<int> rows;
    while (!payload.empty()) {
        if (payload.front() != ' ' || payload.size() == 1 || payload[1] < '0' || payload[1] > '9')
            return std::nullopt; // one blank, then digits: no sign, no second blank
        payload.remove_prefix(1);
        int row = 0;
        const auto [end, error] = std::from_chars(payload.data(), payload.data() + payload.size(), row);
        if (error != std::errc() || row >= rowCount)
            return std::nullopt;
        payload.remove_prefix(static_cast<std::size_t>(end - payload.data()));
        rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    if (rows.empty() || std::adjacent_find(rows.begin(), rows.end()) != rows.end())
        return std::nullopt;
    return rows;
}

} // namespace authoring
