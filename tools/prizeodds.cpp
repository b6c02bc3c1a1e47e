// prizeodds: the true odds of a prize list, and audits of whole spins.
#include "console.h"
#include "game_pictures.h"
#include "prizedraw_version.h"
#include "render.h"
#include "render_html.h"

#include "i18n.h"
#include "option_errors.h"

#include <cxxopts.hpp>
#include <fmt/format.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

enum Exit { kRead = 0, kWarnings = 1, kFailed = 2 };

constexpr std::uint32_t kDefaultSeed = 5489;

// The help text, in the user's language.
std::string about()
{
    return i18n::tr("Shows what the prize draw really does with a prize list: the exact\n"
                    "probability that a card shows each prize, and warnings for what the list's\n"
                    "author may not expect. The list is read exactly as the game reads it, by the\n"
                    "game's own code: five lines per prize (weight, colour, name, amount, one line\n"
                    "ignored), GBK text unless the file starts with a UTF-8 byte-order mark, and\n"
                    "pictures named after the prizes in the \"picture\" folder beside the list.\n"
                    "DATA_INI defaults to data.ini in the current folder.\n"
                    "\n"
                    "Exact odds: the game's generator yields u = k / 2^24 and the draw uses\n"
                    "r = u x 100 in single precision, so a draw is one of 16777216 equally likely\n"
                    "values; each slot's count of them, out of 16777216, is its probability.\n"
                    "A last row gives the share of an empty card (black strip, no name) when the\n"
                    "weights leave one.\n"
                    "\n"
                    "Warnings name the prize they are about: weights that do not add up to 100,\n"
                    "prizes cut where the running total passes 100 or by a negative weight, a\n"
                    "weight that is no number (counted as 0), zero or negative, a probability\n"
                    "below 0.01 %, a colour that shows as black because it cannot be used, a\n"
                    "missing or refused picture, an unsafe picture name, records past the 1000th\n"
                    "(ignored), a last record cut short, a line longer than 1024 bytes (the game\n"
                    "reads only its start), a file read as UTF-8, and a file that looks like UTF-8\n"
                    "saved without a byte-order mark (which the game reads as GBK; prizelist\n"
                    "encode mends it).\n"
                    "\n"
                    "A picture is judged by the game's own picture decoder: \"loaded\" when the game\n"
                    "shows it, \"missing\" when there is no such file, \"refused\" when the file is\n"
                    "there but the game cannot use it, \"unsafe name\" when the prize's name cannot\n"
                    "be a file name in the picture folder (no file is then looked for).\n"
                    "\n"
                    "--simulate N runs the game's own draw N times on a headless card and sets the\n"
                    "observed counts beside the exact ones, with a chi-square goodness-of-fit\n"
                    "p-value. --spins N runs N whole spins of the game's reel from the designed\n"
                    "card positions, each going on from where the last stopped, and reports what\n"
                    "comes to rest under the marker's tip (x = 4080 twips): each prize's share,\n"
                    "the share of spins that stop on a gap between cards, the share in which the\n"
                    "marker bar (x 4060 to 4110) lies across a card's edge, ticks per spin, and\n"
                    "the spins that stopped on a gap or an edge and eased on to the next card,\n"
                    "with the ticks of that ease-on.\n"
                    "Both use the seed given by --seed (default 5489), so a run can be repeated.\n"
                    "\n"
                    "Exit status: 0 when the list was read; 1 with --strict when there is any\n"
                    "warning; 2 when the list cannot be read (the run-time error's number and text\n"
                    "are printed), the HTML sheet cannot be written, or the arguments are wrong.");
}

// A whole decimal number in [minimum, maximum]; anything else is a usage error.
template <typename Number>
Number parseCount(const std::string &text, const char *option, Number minimum, Number maximum)
{
    Number value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < minimum || value > maximum)
        throw cxxopts::exceptions::exception(
            i18n::tr("--{0} needs a whole number from {1} to {2}, not \"{3}\"", option, minimum, maximum, text));
    return value;
}

// Progress for long runs on standard error: a line that rewrites itself on a
// terminal, a line per tenth elsewhere.
odds::Progress progressLine(const char *what, bool quiet, std::uint64_t total, std::uint64_t longRun)
{
    if (quiet || total < longRun)
        return {};
    const bool terminal = odds::isTerminal(stderr);
    return [what, terminal, lastTenth = std::uint64_t(0)](std::uint64_t done, std::uint64_t all) mutable {
        const std::uint64_t percent = done * 100 / all;
        // Through std::cerr, which writes whole messages in the terminal's encoding.
        if (terminal) {
            std::cerr << fmt::format("\r{}: {:3}%{}", what, percent, done == all ? "\n" : "") << std::flush;
        } else if (percent / 10 > lastTenth || done == all) {
            lastTenth = percent / 10;
            std::cerr << fmt::format("{}: {}%\n", what, percent) << std::flush;
        }
    };
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    odds::useSystemLanguage();
    std::vector<std::string> arguments = odds::utf8Arguments(argc, argv);
    const odds::OwnConsole ownConsole; // started by a double click: help, then a key closes it
    std::vector<char *> argumentPointers = odds::argumentPointers(arguments);
    cxxopts::Options options("prizeodds", about() + "\n");
    options.positional_help("[DATA_INI]");
    options.add_options()("simulate", i18n::tr("run the game's draw N times and compare with the exact odds"),
                          cxxopts::value<std::string>(), "N")(
        "spins", i18n::tr("run N whole spins of the reel and report what stops under the marker"),
        cxxopts::value<std::string>(),
        "N")("seed", i18n::tr("seed of the generator for --simulate and --spins (default 5489)"),
             cxxopts::value<std::string>(), "S")("json", i18n::tr("print the report as JSON instead of text"))(
        "html", i18n::tr("also write a printable one-page odds sheet to FILE"), cxxopts::value<std::string>(),
        "FILE")("strict", i18n::tr("exit with status 1 when there is any warning"))(
        "timing", i18n::tr("print how long reading and the exact odds took, on standard error"))(
        "quiet", i18n::tr("no progress on standard error"))("h,help", i18n::tr("show this help"))(
        "version", i18n::tr("show the version"))("file",
                                                 i18n::tr("the prize list (default: data.ini in the current folder)"),
                                                 cxxopts::value<std::string>()->default_value("data.ini"));
    options.parse_positional({"file"});

    std::string file;
    std::uint64_t simulate = 0;
    std::uint64_t spins = 0;
    std::uint32_t seed = kDefaultSeed;
    bool json = false;
    bool strict = false;
    bool timing = false;
    bool quiet = false;
    std::string html;
    try {
        const auto args = options.parse(static_cast<int>(argumentPointers.size()), argumentPointers.data());
        if (args.count("help") || (ownConsole && arguments.size() == 1)) {
            std::cout << odds::translatedHelp(options.help()) << "\n";
            return kRead;
        }
        if (args.count("version")) {
            std::cout << "prizeodds " PRIZEDRAW_VERSION "\n";
            return kRead;
        }
        if (!args.unmatched().empty())
            throw cxxopts::exceptions::exception(
                i18n::tr("more than one prize list given: {0}", args.unmatched().front()));
        file = args["file"].as<std::string>();
        if (args.count("simulate"))
            simulate = parseCount<std::uint64_t>(args["simulate"].as<std::string>(), "simulate", 1, 1'000'000'000'000);
        if (args.count("spins"))
            spins = parseCount<std::uint64_t>(args["spins"].as<std::string>(), "spins", 1, 1'000'000'000);
        if (args.count("seed"))
            seed = parseCount<std::uint32_t>(args["seed"].as<std::string>(), "seed", 0, UINT32_MAX);
        json = args.count("json") > 0;
        strict = args.count("strict") > 0;
        timing = args.count("timing") > 0;
        quiet = args.count("quiet") > 0;
        if (args.count("html"))
            html = args["html"].as<std::string>();
    } catch (const cxxopts::exceptions::exception &error) {
        std::cerr << "prizeodds: " << odds::optionErrorText(error) << "\n"
                  << i18n::tr("(prizeodds --help describes the options)") << "\n";
        return kFailed;
    }

    try {
        const auto loader = odds::gamePictureLoader();
        auto start = std::chrono::steady_clock::now();
        const odds::PrizeList list = odds::loadPrizeList(catalogue::utf8Path(file), *loader);
        const double readMs = millisecondsSince(start);
        start = std::chrono::steady_clock::now();
        const odds::OddsReport report = odds::buildReport(list, odds::gameTextMeasure().get());
        const double oddsMs = millisecondsSince(start);
        if (timing)
            std::cerr << i18n::tr("read {0:.3f} ms, exact odds and warnings {1:.3f} ms", readMs, oddsMs) << "\n";

        odds::Audits audits;
        std::vector<std::uint32_t> exact;
        for (const auto &prize : report.prizes)
            exact.push_back(prize.count);
        exact.push_back(report.emptyCount);
        if (simulate)
            audits.draws = odds::simulateDraws(*list.catalogue, simulate, seed, exact,
                                               progressLine(i18n::tr("draws"), quiet, simulate, 5'000'000));
        if (spins)
            audits.spins = odds::auditSpins(*list.catalogue, spins, seed, exact,
                                            progressLine(i18n::tr("spins"), quiet, spins, 20'000));

        if (!html.empty()) {
            std::error_code ec;
            if (std::filesystem::equivalent(catalogue::utf8Path(html), catalogue::utf8Path(file), ec)) {
                std::cerr << "prizeodds: " << i18n::tr("the sheet would overwrite the prize list {0}", file) << "\n";
                return kFailed;
            }
            std::ofstream out(catalogue::utf8Path(html), std::ios::binary);
            out << odds::renderHtml(report);
            out.close();
            if (!out) {
                std::cerr << "prizeodds: " << i18n::tr("cannot write {0}", html) << "\n";
                return kFailed;
            }
        }
        std::cout << (json ? odds::renderJson(report, audits) : odds::renderText(report, audits));
        std::cout.flush();
        return strict && !report.warnings.empty() ? kWarnings : kRead;
    } catch (const catalogue::RuntimeError &error) {
        std::cerr << "prizeodds: "
                  << i18n::tr("{0}: run-time error {1}: {2}", file, error.number(), odds::runTimeErrorText(error))
                  << "\n";
        return kFailed;
    }
}
