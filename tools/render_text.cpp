// The report as aligned terminal text.
#include "display_text.h"
#include "render.h"

#include "i18n.h"

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
        return i18n::tr("a slot that the exact odds never draw came up: the draw does not match its odds");
    return i18n::tr("chi-square {0:.2f} with {1} degrees of freedom: p = {2:.4f}", fit.chiSquare, fit.degreesOfFreedom,
                    fit.pValue);
}

std::string emptyCard() { return i18n::tr("(empty card)"); }

void renderDraws(std::string &out, const OddsReport &report, const DrawAudit &audit)
{
    out += "\n" + i18n::tr("Simulation: {0} draws of the game's own draw, seed {1}", audit.draws, audit.seed) + "\n";
    Table table({{"#", Align::Right},
                 {i18n::tr("name"), Align::Left},
                 {i18n::tr("observed"), Align::Right},
                 {i18n::tr("share"), Align::Right},
                 {i18n::tr("exact"), Align::Right}});
    for (const PrizeRow &row : report.prizes)
        table.add({std::to_string(row.index + 1), cell(row.name, kNameColumns),
                   std::to_string(audit.counts.at(static_cast<std::size_t>(row.index))),
                   percent(audit.counts.at(static_cast<std::size_t>(row.index)), audit.draws), percent(row.count)});
    if (report.emptyCount > 0 || audit.counts.back() > 0)
        table.add({"-", emptyCard(), std::to_string(audit.counts.back()), percent(audit.counts.back(), audit.draws),
                   percent(report.emptyCount)});
    out += table.render();
    out += "  " + fitLine(audit.fit) + "\n";
}

void renderSpins(std::string &out, const OddsReport &report, const SpinAudit &audit)
{
    out += "\n" +
           i18n::tr("Spins: {0} whole spins of the game's reel from the designed card positions, seed {1}", audit.spins,
                    audit.seed) +
           "\n";
    out += i18n::tr("What stops under the marker's tip (x = {0} twips):", marker::kTipTwips) + "\n";
    Table table({{"#", Align::Right},
                 {i18n::tr("name"), Align::Left},
                 {i18n::tr("spins"), Align::Right},
                 {i18n::tr("share"), Align::Right},
                 {i18n::tr("draw odds"), Align::Right}});
    for (const PrizeRow &row : report.prizes)
        table.add({std::to_string(row.index + 1), cell(row.name, kNameColumns),
                   std::to_string(audit.underTip.at(static_cast<std::size_t>(row.index))),
                   percent(audit.underTip.at(static_cast<std::size_t>(row.index)), audit.spins), percent(row.count)});
    if (report.emptyCount > 0 || audit.underTip.back() > 0)
        table.add({"-", emptyCard(), std::to_string(audit.underTip.back()), percent(audit.underTip.back(), audit.spins),
                   percent(report.emptyCount)});
    table.add({"-", i18n::tr("(gap between cards)"), std::to_string(audit.gaps), percent(audit.gaps, audit.spins), ""});
    out += table.render();
    out += "  " +
           i18n::tr("marker bar (x {0} to {1}) across a card edge, outcome unclear to the eye: {2} spins ({3})",
                    marker::kBarLeftTwips, marker::kBarRightTwips, audit.ambiguous,
                    percent(audit.ambiguous, audit.spins)) +
           "\n";
    out += "  " + i18n::tr("spins that stop on a card: {0}", fitLine(audit.fit)) + "\n";
    out += "  " +
           i18n::tr("ticks per spin: min {0}, median {1}, max {2} (mean {3:.1f}); cards refilled per spin: {4:.1f}",
                    audit.minTicks, audit.medianTicks, audit.maxTicks, audit.meanTicks, audit.meanRefills) +
           "\n";
    out += "  " +
           i18n::tr("eased on to the next card after stopping on a gap or an edge: {0} spins ({1}), "
                    "{2:.1f} ticks on average, at most {3}, counted apart from the ticks above",
                    audit.easedOn, percent(audit.easedOn, audit.spins), audit.meanEaseTicks, audit.maxEaseTicks) +
           "\n";
}

} // namespace

std::string renderWarning(const Warning &warning, std::optional<int> spreadsheetRow)
{
    std::string subject;
    if (warning.index && spreadsheetRow)
        subject = i18n::tr("prize {0} \"{1}\" (spreadsheet row {2}): ", *warning.index + 1,
                           cell(warning.name, kNameColumns), *spreadsheetRow);
    else if (warning.index)
        subject = i18n::tr("prize {0} \"{1}\": ", *warning.index + 1, cell(warning.name, kNameColumns));
    return subject + terminalSafe(textWithRemedies(warning));
}

std::string renderText(const OddsReport &report, const Audits &audits)
{
    std::string out = i18n::tr("Prize list {0}: {1} prizes, weights add up to {2:.10g}",
                               terminalSafe(report.file.string()), report.prizes.size(), report.totalWeight) +
                      "\n";
    out += i18n::tr("Every draw is one of {0} equally likely values; these odds are exact.", kDrawValues) + "\n";

    Table table({{"#", Align::Right},
                 {i18n::tr("name"), Align::Left},
                 {i18n::tr("amount"), Align::Left},
                 {i18n::tr("colour"), Align::Left},
                 {i18n::tr("weight"), Align::Right},
                 {i18n::tr("probability"), Align::Right},
                 {i18n::tr("draws"), Align::Right},
                 {i18n::tr("picture"), Align::Left}});
    for (const PrizeRow &row : report.prizes)
        table.add({std::to_string(row.index + 1), cell(row.name, kNameColumns), cell(row.amount), hexColor(row.color),
                   cell(row.weightText), percent(row.count), std::to_string(row.count),
                   pictureStateLabel(row.picture)});
    if (report.emptyCount > 0)
        table.add(
            {"-", emptyCard(), "", hexColor(0), "", percent(report.emptyCount), std::to_string(report.emptyCount), ""});
    out += table.render();

    if (!report.warnings.empty()) {
        out += "\n" + i18n::tr("Warnings ({0}):", report.warnings.size()) + "\n";
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
