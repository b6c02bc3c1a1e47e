// The report as aligned terminal text.
#include "display_text.h"
#include "render.h"

#include <fmt/format.h>

#include <vector>

namespace odds {

namespace {

constexpr int kNameColumns = 24;
constexpr int kFieldColumns = 14;

struct Column {
    std::string title;
    Align align;
};

// Lays out rows of cells under titles, each column as wide as its widest cell.
class Table {
public:
    explicit Table(std::vector<Column> columns) : columns_(std::move(columns)) {}
    void add(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }

    std::string render() const
    {
        std::vector<int> widths;
        for (const Column &column : columns_)
            widths.push_back(displayWidth(column.title));
        for (const auto &row : rows_)
            for (std::size_t c = 0; c < row.size(); ++c)
                widths[c] = std::max(widths[c], displayWidth(row[c]));

        std::string out;
        auto line = [&](auto cellOf) {
            std::string text = " ";
            for (std::size_t c = 0; c < columns_.size(); ++c)
                text += (c == 0 ? "" : "  ") + pad(cellOf(c), widths[c], columns_[c].align);
            while (!text.empty() && text.back() == ' ')
                text.pop_back();
            out += text + "\n";
        };
        line([&](std::size_t c) { return columns_[c].title; });
        for (const auto &row : rows_)
            line([&](std::size_t c) { return c < row.size() ? row[c] : std::string(); });
        return out;
    }

private:
    std::vector<Column> columns_;
    std::vector<std::vector<std::string>> rows_;
};

std::string cell(std::string_view text, int columns = kFieldColumns) { return fitWidth(terminalSafe(text), columns); }
std::string percent(std::uint64_t count, std::uint64_t total = kDrawValues)
{
    return fmt::format("{:.4f}%", percentOf(count, total));
}

std::string fitLine(const FitTest &fit)
{
    if (fit.impossibleOutcome)
        return "a slot that the exact odds never draw came up: the draw does not match its odds";
    return fmt::format("chi-square {:.2f} with {} degrees of freedom: p = {:.4f}", fit.chiSquare,
                       fit.degreesOfFreedom, fit.pValue);
}

const std::string kEmptyCard = "(empty card)";

void renderDraws(std::string &out, const OddsReport &report, const DrawAudit &audit)
{
    out += fmt::format("\nSimulation: {} draws of the game's own draw, seed {}\n", audit.draws, audit.seed);
    Table table({{"#", Align::Right}, {"name", Align::Left}, {"observed", Align::Right}, {"share", Align::Right},
                 {"exact", Align::Right}});
    for (const PrizeRow &row : report.prizes)
        table.add({std::to_string(row.index), cell(row.name, kNameColumns),
                   std::to_string(audit.counts.at(static_cast<std::size_t>(row.index))),
                   percent(audit.counts.at(static_cast<std::size_t>(row.index)), audit.draws), percent(row.count)});
    if (report.emptyCount > 0 || audit.counts.back() > 0)
        table.add({"-", kEmptyCard, std::to_string(audit.counts.back()), percent(audit.counts.back(), audit.draws),
                   percent(report.emptyCount)});
    out += table.render();
    out += "  " + fitLine(audit.fit) + "\n";
}

void renderSpins(std::string &out, const OddsReport &report, const SpinAudit &audit)
{
    out += fmt::format("\nSpins: {} whole spins of the game's reel from the designed card positions, seed {}\n",
                       audit.spins, audit.seed);
    out += fmt::format("What stops under the marker's tip (x = {} twips):\n", marker::kTipTwips);
    Table table({{"#", Align::Right}, {"name", Align::Left}, {"spins", Align::Right}, {"share", Align::Right},
                 {"draw odds", Align::Right}});
    for (const PrizeRow &row : report.prizes)
        table.add({std::to_string(row.index), cell(row.name, kNameColumns),
                   std::to_string(audit.underTip.at(static_cast<std::size_t>(row.index))),
                   percent(audit.underTip.at(static_cast<std::size_t>(row.index)), audit.spins), percent(row.count)});
    if (report.emptyCount > 0 || audit.underTip.back() > 0)
        table.add({"-", kEmptyCard, std::to_string(audit.underTip.back()), percent(audit.underTip.back(), audit.spins),
                   percent(report.emptyCount)});
    table.add({"-", "(gap between cards)", std::to_string(audit.gaps), percent(audit.gaps, audit.spins), ""});
    out += table.render();
    out += fmt::format("  marker bar (x {} to {}) across a card edge, outcome unclear to the eye: {} spins ({})\n",
                       marker::kBarLeftTwips, marker::kBarRightTwips, audit.ambiguous,
                       percent(audit.ambiguous, audit.spins));
    out += "  spins that stop on a card: " + fitLine(audit.fit) + "\n";
    out += fmt::format("  ticks per spin: min {}, median {}, max {} (mean {:.1f}); cards refilled per spin: {:.1f}\n",
                       audit.minTicks, audit.medianTicks, audit.maxTicks, audit.meanTicks, audit.meanRefills);
}

} // namespace

std::string renderWarning(const Warning &warning)
{
    const std::string subject =
        warning.index ? fmt::format("prize {} \"{}\": ", *warning.index, cell(warning.name, kNameColumns))
                      : std::string();
    return subject + terminalSafe(warning.message);
}

std::string renderText(const OddsReport &report, const Audits &audits)
{
    std::string out = fmt::format("Prize list {}: {} prizes, weights add up to {:.10g}\n",
                                  terminalSafe(report.file.string()), report.prizes.size(), report.totalWeight);
    out += fmt::format("Every draw is one of {} equally likely values; these odds are exact.\n", kDrawValues);

    Table table({{"#", Align::Right},
                 {"name", Align::Left},
                 {"amount", Align::Left},
                 {"colour", Align::Left},
                 {"weight", Align::Right},
                 {"probability", Align::Right},
                 {"draws", Align::Right},
                 {"picture", Align::Left}});
    for (const PrizeRow &row : report.prizes)
        table.add({std::to_string(row.index), cell(row.name, kNameColumns), cell(row.amount), hexColor(row.color),
                   cell(row.weightText), percent(row.count), std::to_string(row.count),
                   pictureStateText(row.picture)});
    if (report.emptyCount > 0)
        table.add({"-", kEmptyCard, "", hexColor(0), "", percent(report.emptyCount),
                   std::to_string(report.emptyCount), ""});
    out += table.render();

    if (!report.warnings.empty()) {
        out += fmt::format("\nWarnings ({}):\n", report.warnings.size());
        for (const Warning &warning : report.warnings)
            out += "  " + renderWarning(warning) + "\n";
    }
    if (audits.draws)
        renderDraws(out, report, *audits.draws);
    if (audits.spins)
        renderSpins(out, report, *audits.spins);
    return out;
}

} // namespace odds
