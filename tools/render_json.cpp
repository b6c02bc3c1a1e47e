// The report as JSON.
#include "render.h"

#include <nlohmann/json.hpp>

namespace odds {

namespace {
using Json = nlohmann::ordered_json;

double share(std::uint64_t count, std::uint64_t total = kDrawValues)
{
    return total ? static_cast<double>(count) / static_cast<double>(total) : 0.0;
}

Json fitJson(const FitTest &fit)
{
    return {{"chiSquare", fit.chiSquare},
            {"degreesOfFreedom", fit.degreesOfFreedom},
            {"pValue", fit.pValue},
            {"impossibleOutcome", fit.impossibleOutcome}};
}
} // namespace

std::string renderJson(const OddsReport &report, const Audits &audits)
{
    Json json;
    json["file"] = report.file.string();
    json["drawValues"] = kDrawValues;
    json["prizeCount"] = report.prizes.size();
    json["totalWeight"] = report.totalWeight;
    json["readAsUtf8"] = report.readAsUtf8;
    json["recordsIgnored"] = report.recordsIgnored;
    json["lastRecordCutShort"] = report.lastRecordCutShort;

    Json prizes = Json::array();
    for (const PrizeRow &row : report.prizes) {
        Json prize = {{"index", row.index},
                      {"number", row.index + 1}, // as messages and the editor count
                      {"name", row.name},
                      {"amount", row.amount},
                      {"color", hexColor(row.color)},
                      {"colorText", row.colorText},
                      {"colorUsable", row.colorUsable},
                      {"weight", row.weightText},
                      {"weightCounted", row.weight},
                      {"weightIsNumber", row.weightIsNumber},
                      {"count", row.count},
                      {"probability", share(row.count)},
                      {"picture", pictureStateText(row.picture)},
                      {"picturePath", report.picturePathOf(row).string()}};
        if (!row.pictureError.empty())
            prize["pictureError"] = row.pictureError;
        prizes.push_back(std::move(prize));
    }
    json["prizes"] = std::move(prizes);
    json["emptyCard"] = {{"count", report.emptyCount}, {"probability", share(report.emptyCount)}};

    Json warnings = Json::array();
    for (const Warning &warning : report.warnings) {
        Json item = {{"code", std::string(codeText(warning.code))},
                     {"index", nullptr},
                     {"number", nullptr},
                     {"name", nullptr},
                     {"message", warning.message},
                     {"values", warning.text.values}};
        if (warning.index) {
            item["index"] = *warning.index;
            item["number"] = *warning.index + 1;
            item["name"] = warning.name;
        }
        if (!warning.file.empty())
            item["file"] = warning.file;
        warnings.push_back(std::move(item));
    }
    json["warnings"] = std::move(warnings);

    if (const auto &draws = audits.draws) {
        json["simulation"] = {
            {"draws", draws->draws}, {"seed", draws->seed}, {"counts", draws->counts}, {"fit", fitJson(draws->fit)}};
    }
    if (const auto &spins = audits.spins) {
        json["spins"] = {{"spins", spins->spins},
                         {"seed", spins->seed},
                         {"markerTipTwips", marker::kTipTwips},
                         {"underTip", spins->underTip},
                         {"gaps", spins->gaps},
                         {"gapShare", share(spins->gaps, spins->spins)},
                         {"ambiguous", spins->ambiguous},
                         {"ambiguousShare", share(spins->ambiguous, spins->spins)},
                         {"ticks",
                          {{"min", spins->minTicks},
                           {"median", spins->medianTicks},
                           {"max", spins->maxTicks},
                           {"mean", spins->meanTicks}}},
                         {"meanRefills", spins->meanRefills},
                         {"easedOn",
                          {{"spins", spins->easedOn},
                           {"share", share(spins->easedOn, spins->spins)},
                           {"ticks", {{"max", spins->maxEaseTicks}, {"mean", spins->meanEaseTicks}}}}},
                         {"fit", fitJson(spins->fit)}};
    }
    // Paths come from the command line and need not be UTF-8.
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace odds
