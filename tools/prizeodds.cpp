// prizeodds: the true odds of a prize list, and audits of whole spins.
#include "console.h"
#include "game_pictures.h"
#include "prizedraw_version.h"
#include "render.h"

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

constexpr std::string_view kAbout = R"(Shows what the prize draw really does with a prize list: the exact
probability that a card shows each prize, and warnings for what the list's
author may not expect. The list is read exactly as the game reads it, by the
game's own code: five lines per prize (weight, colour, name, amount, one line
ignored), GBK text unless the file starts with a UTF-8 byte-order mark, and
pictures named after the prizes in the "picture" folder beside the list.
DATA_INI defaults to data.ini in the current folder.

Exact odds: the game's generator yields u = k / 2^24 and the draw uses
r = u x 100 in single precision, so a draw is one of 16777216 equally likely
values; each slot's count of them, out of 16777216, is its probability.
A last row gives the share of an empty card (black strip, no name) when the
weights leave one.

Warnings name the prize they are about: weights that do not add up to 100,
prizes cut where the running total passes 100 or by a negative weight, a
weight that is no number (counted as 0), zero or negative, a probability
below 0.01 %, a colour that shows as black because it cannot be used, a
missing or refused picture, an unsafe picture name, records past the 1000th
(ignored), a last record cut short, a line longer than 1024 bytes (the game
reads only its start), a file read as UTF-8, and a file that looks like UTF-8
saved without a byte-order mark (which the game reads as GBK; prizelist
encode mends it).

A picture is judged by the game's own picture decoder: "loaded" when the game
shows it, "missing" when there is no such file, "refused" when the file is
there but the game cannot use it, "unsafe name" when the prize's name cannot
be a file name in the picture folder (no file is then looked for).

--simulate N runs the game's own draw N times on a headless card and sets the
observed counts beside the exact ones, with a chi-square goodness-of-fit
p-value. --spins N runs N whole spins of the game's reel from the designed
card positions, each going on from where the last stopped, and reports what
comes to rest under the marker's tip (x = 4080 twips): each prize's share,
the share of spins that stop on a gap between cards, the share in which the
marker bar (x 4060 to 4110) lies across a card's edge, and ticks per spin.
Both use the seed given by --seed (default 5489), so a run can be repeated.

Exit status: 0 when the list was read; 1 with --strict when there is any
warning; 2 when the list cannot be read (the run-time error's number and text
are printed), the HTML sheet cannot be written, or the arguments are wrong.)";

// A whole decimal number in [minimum, maximum]; anything else is a usage error.
template <typename Number>
Number parseCount(const std::string &text, const char *option, Number minimum, Number maximum)
{
    Number value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < minimum || value > maximum)
        throw cxxopts::exceptions::exception(
            fmt::format("--{} needs a whole number from {} to {}, not \"{}\"", option, minimum, maximum, text));
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
        if (terminal) {
            std::fprintf(stderr, "\r%s: %3llu%%%s", what, static_cast<unsigned long long>(percent),
                         done == all ? "\n" : "");
        } else if (percent / 10 > lastTenth || done == all) {
            lastTenth = percent / 10;
            std::fprintf(stderr, "%s: %llu%%\n", what, static_cast<unsigned long long>(percent));
        }
        std::fflush(stderr);
    };
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> arguments = odds::utf8Arguments(argc, argv);
    std::vector<char *> argumentPointers = odds::argumentPointers(arguments);
    cxxopts::Options options("prizeodds", std::string(kAbout) + "\n");
    options.positional_help("[DATA_INI]");
    options.add_options()
        ("simulate", "run the game's draw N times and compare with the exact odds", cxxopts::value<std::string>(), "N")
        ("spins", "run N whole spins of the reel and report what stops under the marker", cxxopts::value<std::string>(), "N")
        ("seed", "seed of the generator for --simulate and --spins (default 5489)", cxxopts::value<std::string>(), "S")
        ("json", "print the report as JSON instead of text")
        ("html", "also write a printable one-page odds sheet to FILE", cxxopts::value<std::string>(), "FILE")
        ("strict", "exit with status 1 when there is any warning")
        ("timing", "print how long reading and the exact odds took, on standard error")
        ("quiet", "no progress on standard error")
        ("h,help", "show this help")
        ("version", "show the version")
        ("file", "the prize list (default: data.ini in the current folder)", cxxopts::value<std::string>()->default_value("data.ini"));
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
        if (args.count("help")) {
            std::cout << options.help() << "\n";
            return kRead;
        }
        if (args.count("version")) {
            std::cout << "prizeodds " PRIZEDRAW_VERSION "\n";
            return kRead;
        }
        if (!args.unmatched().empty())
            throw cxxopts::exceptions::exception("more than one prize list given: " + args.unmatched().front());
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
        std::cerr << "prizeodds: " << error.what() << "\n(prizeodds --help describes the options)\n";
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
            std::cerr << fmt::format("read {:.3f} ms, exact odds and warnings {:.3f} ms\n", readMs, oddsMs);

        odds::Audits audits;
        std::vector<std::uint32_t> exact;
        for (const auto &prize : report.prizes)
            exact.push_back(prize.count);
        exact.push_back(report.emptyCount);
        if (simulate)
            audits.draws = odds::simulateDraws(*list.catalogue, simulate, seed, exact,
                                               progressLine("draws", quiet, simulate, 5'000'000));
        if (spins)
            audits.spins = odds::auditSpins(*list.catalogue, spins, seed, exact,
                                            progressLine("spins", quiet, spins, 20'000));

        if (!html.empty()) {
            std::error_code ec;
            if (std::filesystem::equivalent(catalogue::utf8Path(html), catalogue::utf8Path(file), ec)) {
                std::cerr << "prizeodds: the sheet would overwrite the prize list " << file << "\n";
                return kFailed;
            }
            std::ofstream out(catalogue::utf8Path(html), std::ios::binary);
            out << odds::renderHtml(report);
            out.close();
            if (!out) {
                std::cerr << "prizeodds: cannot write " << html << "\n";
                return kFailed;
            }
        }
        std::cout << (json ? odds::renderJson(report, audits) : odds::renderText(report, audits));
        std::cout.flush();
        return strict && !report.warnings.empty() ? kWarnings : kRead;
    } catch (const catalogue::RuntimeError &error) {
        std::cerr << fmt::format("prizeodds: {}: run-time error {}: {}\n", file, error.number(), error.text());
        return kFailed;
    }
}
