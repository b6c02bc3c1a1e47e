// Scaling weights to 100 by largest remainders, equal weights kept equal.
#include "weight_scaling.h"

#include "i18n.h"
#include "variant.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>

namespace editing {

using authoring::Field;

namespace {

constexpr int kMaxDecimals = 6; // beyond that the game's single-precision bounds cannot tell

int decimalsOf(const std::string &text)
{
    const auto point = text.find('.');
    if (point == std::string::npos)
        return 0;
    int digits = 0;
    for (std::size_t at = point + 1; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        ++digits;
    return digits;
}

std::string written(std::int64_t units, int decimals)
{
    std::int64_t scale = 1;
    for (int d = 0; d < decimals; ++d)
        scale *= 10;
    std::string text = std::to_string(units / scale);
    if (decimals > 0) {
        std::string fraction = std::to_string(units % scale);
        text += '.' + std::string(std::size_t(decimals) - fraction.size(), '0') + fraction;
    }
    return text;
}

// Units of 10^-decimals for each scaled weight, adding up to target; equal
// weights get equal units, or nothing when that cannot be done at these
// decimals and `split` is false.
std::optional<std::vector<std::int64_t>> shares(const std::vector<double> &weights, std::int64_t target, bool split)
{
    double sum = 0;
    for (double weight : weights)
        sum += weight;
    std::vector<std::int64_t> units;
    std::int64_t left = target;
    // Rows of equal weight have equal remainders: they take a unit together or not at all.
    std::map<double, std::vector<std::size_t>> groups;
    for (std::size_t k = 0; k < weights.size(); ++k) {
        const double share = weights[k] / sum * double(target);
        units.push_back(std::int64_t(std::floor(share)));
        left -= units.back();
        groups[weights[k]].push_back(k);
    }
    std::vector<std::pair<double, std::vector<std::size_t>>> byRemainder;
    for (auto &[weight, rows] : groups) {
        const double share = weight / sum * double(target);
        byRemainder.push_back({share - std::floor(share), std::move(rows)});
    }
    std::stable_sort(byRemainder.begin(), byRemainder.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    for (const auto &[remainder, rows] : byRemainder)
        if (left >= std::int64_t(rows.size())) {
            for (std::size_t k : rows)
                ++units[k];
            left -= std::int64_t(rows.size());
        }
    if (left == 0)
        return units;
    if (!split)
        return std::nullopt;
    for (const auto &[remainder, rows] : byRemainder)
        for (std::size_t k : rows)
            if (left > 0) {
                ++units[k];
                --left;
            }
    return units;
}

std::string quoted(const std::string &text) { return "\"" + text + "\""; }

} // namespace

WeightScaling scaleWeightsTo100(const authoring::PrizeDocument &document, std::vector<int> rows)
{
    const int count = document.size();
    if (rows.empty())
        for (int row = 0; row < count; ++row)
            rows.push_back(row);
    std::vector<bool> chosen(std::size_t(count), false);
    for (int row : rows)
        if (row >= 0 && row < count)
            chosen[std::size_t(row)] = true;

    // Weights as the game reads them: a text that is no number counts as 0.
    std::vector<std::optional<double>> weights;
    int decimals = 0;
    std::vector<std::string> leftAlone;
    for (int row = 0; row < count; ++row) {
        const std::string &text = document.text(row, Field::Weight);
        const std::optional<double> weight = catalogue::Variant(text).numberIf();
        weights.push_back(weight);
        if (weight)
            decimals = std::max(decimals, decimalsOf(text));
        const std::string &name = document.text(row, Field::Name);
        if (!weight)
            leftAlone.push_back(
                i18n::tr("{0}: its weight {1} is no number, so the game counts it as 0", quoted(name), quoted(text)));
        else if (*weight < 0)
            leftAlone.push_back(i18n::tr("{0}: its weight {1} is negative; the game subtracts it, which cuts the "
                                         "prizes before it",
                                         quoted(name), text));
    }
    decimals = std::min(decimals, kMaxDecimals);

    std::vector<int> scaled;
    std::vector<double> scaledWeights;
    for (int row = 0; row < count; ++row) {
        const auto &weight = weights[std::size_t(row)];
        if (chosen[std::size_t(row)] && weight && *weight > 0) {
            scaled.push_back(row);
            scaledWeights.push_back(*weight);
        }
    }
    if (scaled.empty())
        throw authoring::ListError(i18n::tr("No prize chosen has a weight above 0 to scale."));

    for (;; ++decimals) {
        const double unit = std::pow(10.0, decimals);
        double othersUnits = 0;
        for (int row = 0; row < count; ++row) {
            const auto &weight = weights[std::size_t(row)];
            if (weight && !(chosen[std::size_t(row)] && *weight > 0))
                othersUnits += std::round(*weight * unit);
        }
        const double target = 100 * unit - othersUnits;
        if (!(target <= 1e15)) // negative weights so large that no share could be written
            throw authoring::ListError(i18n::tr("The other prizes' weights are too far below 0 to scale to 100."));
        if (target <= 0)
            throw authoring::ListError(i18n::tr("The other prizes' weights already add up to 100 or more; choose "
                                                "them too, or no prizes to scale them all."));
        const auto units = shares(scaledWeights, std::int64_t(target), decimals >= kMaxDecimals);
        if (!units)
            continue;
        WeightScaling result;
        for (std::size_t k = 0; k < scaled.size(); ++k)
            result.weights.push_back({scaled[k], written((*units)[k], decimals)});
        if (!leftAlone.empty()) {
            std::string lines;
            for (const std::string &line : leftAlone)
                lines += "\n" + line;
            result.note = i18n::tr("The weights now add up to 100 as the game counts them, but these were left as "
                                   "they are:{0}\n\nWrite each as a number of 0 or more, then scale again.",
                                   lines);
        }
        return result;
    }
}

} // namespace editing
