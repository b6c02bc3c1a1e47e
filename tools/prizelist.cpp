// prizelist: a prize list to and from a spreadsheet, and from one encoding to another.
#include "console.h"
#include "display_text.h"
#include "game_pictures.h"
#include "list_check.h"
#include "list_save.h"
#include "prize_csv.h"
#include "prizedraw_version.h"
#include "render.h"

#include "i18n.h"
#include "option_errors.h"

#include <cxxopts.hpp>
#include <fmt/format.h>

#include <iostream>

namespace {

enum Exit { kDone = 0, kWarnings = 1, kFailed = 2 };

using authoring::Encoding;

// The help text, in the user's language.
std::string about()
{
    return i18n::tr("Makes and converts prize lists for the prize draw.\n"
                    "\n"
                    "  prizelist export DATA_INI [-o FILE.csv]\n"
                    "      The list as CSV for a spreadsheet program: UTF-8 with a byte-order mark,\n"
                    "      CR LF, a header row \"weight,color,name,amount,note\", then one row per\n"
                    "      prize with its five lines exactly as written. Standard output without -o.\n"
                    "\n"
                    "  prizelist import FILE.csv -o DATA_INI [--encoding gbk|utf8-bom] [--from gbk|utf8]\n"
                    "      A game list from such a CSV. Columns are found by the header's names\n"
                    "      (weight, color, name, amount, and optionally note, or 权重, 颜色, 名称,\n"
                    "      数量, 备注); a colour may be written #RRGGBB, a weight 21%. A first line\n"
                    "      \"sep=;\" sets the separator; rows with every field empty are skipped.\n"
                    "      The CSV is read as UTF-8 when it starts with UTF-8's byte-order mark;\n"
                    "      otherwise as UTF-8 or GBK (a spreadsheet's \"CSV\" on Chinese Windows),\n"
                    "      whichever gives the likelier text, or as --from says. Which one is said\n"
                    "      on standard error, with the first names both ways when both are\n"
                    "      plausible. The list is written in GBK (the default, the game's own) or\n"
                    "      in UTF-8 with a byte-order mark, CR LF after every line. A CSV that\n"
                    "      cannot be read (a row with the wrong number of fields, a quote left\n"
                    "      open, a missing column, more than 1000 rows, a file over 4 MiB, no\n"
                    "      prize with a weight above 0) is refused with its line and spreadsheet\n"
                    "      row, and nothing is written.\n"
                    "\n"
                    "  prizelist encode DATA_INI --to gbk|utf8-bom [--from gbk|utf8] [-o FILE]\n"
                    "      Re-encodes a list. --from gbk (the default) reads it as the game does:\n"
                    "      GBK unless the file starts with a UTF-8 byte-order mark. --from utf8\n"
                    "      reads a file without the mark as UTF-8: the fix for a list saved as UTF-8\n"
                    "      by a text editor, which the game shows garbled. Without -o the file is\n"
                    "      rewritten in place.\n"
                    "\n"
                    "  prizelist --version\n"
                    "      Prints the version.\n"
                    "\n"
                    "Every list written is saved atomically (a temporary file renamed over the old\n"
                    "one); an existing list is kept as FILE.bak. A text that GBK cannot hold is\n"
                    "never replaced: the save fails, naming the prize and the character. After\n"
                    "each command the warnings of the odds report (see prizeodds) are printed on\n"
                    "standard error for the resulting list.\n"
                    "\n"
                    "Exit status: 0 on success; 1 with --strict when there is any warning; 2 when\n"
                    "a file cannot be read or written, or the arguments are wrong.");
}

struct Failure {
    std::string message;
};

// The game's own reasons why a list cannot be read, with the file named.
authoring::PrizeDocument
openList(const std::string &file,
         catalogue::PrizeListFile::Decoding decoding = catalogue::PrizeListFile::Decoding::GbkUnlessMarked)
{
    try {
        return authoring::PrizeDocument::open(catalogue::utf8Path(file), decoding);
    } catch (const catalogue::RuntimeError &error) {
        throw Failure{i18n::tr("{0}: run-time error {1}: {2}", file, error.number(), odds::runTimeErrorText(error))};
    }
}

// What a save did besides saving (an interrupted save finished, a leftover file), if anything.
void note(const std::string &text)
{
    if (!text.empty())
        std::cerr << "prizelist: " << text << "\n";
}

Encoding encodingOption(const std::string &text, const char *option)
{
    if (text == "gbk")
        return Encoding::Gbk;
    if (text == "utf8-bom")
        return Encoding::Utf8;
    throw cxxopts::exceptions::exception(i18n::tr("--{0} takes gbk or utf8-bom, not \"{1}\"", option, text));
}

// Prints the warnings of the list that dataIni holds or will hold; for a list
// just read from a spreadsheet, rows holds each prize's row there.
int warn(const authoring::PrizeDocument &document, const std::filesystem::path &dataIni, bool strict,
         const std::vector<int> &rows = {})
{
    const auto loader = odds::gamePictureLoader();
    const odds::OddsReport report = odds::checkDocument(document, dataIni, *loader, odds::gameTextMeasure().get());
    for (const odds::Warning &warning : report.warnings) {
        std::optional<int> row;
        if (warning.index && static_cast<std::size_t>(*warning.index) < rows.size())
            row = rows[static_cast<std::size_t>(*warning.index)];
        std::cerr << i18n::tr("warning: {0}", odds::renderWarning(warning, row)) << "\n";
    }
    return strict && !report.warnings.empty() ? kWarnings : kDone;
}

struct Command {
    std::string name;
    cxxopts::Options options;
};

cxxopts::ParseResult parse(cxxopts::Options &options, int argc, char **argv)
{
    options.add_options()("strict", i18n::tr("exit with status 1 when there is any warning"))(
        "h,help", i18n::tr("show this help"));
    options.add_options()("file", "", cxxopts::value<std::string>());
    options.parse_positional({"file"});
    auto args = options.parse(argc, argv);
    if (!args.unmatched().empty())
        throw cxxopts::exceptions::exception(i18n::tr("more than one file given: {0}", args.unmatched().front()));
    return args;
}

int run(const std::string &command, int argc, char **argv)
{
    cxxopts::Options options("prizelist " + command, about() + "\n");
    if (command == "export") {
        options.add_options()("o,output", i18n::tr("write the CSV to FILE"), cxxopts::value<std::string>(), "FILE");
    } else if (command == "import") {
        options.add_options()("o,output", i18n::tr("the prize list to write"), cxxopts::value<std::string>(),
                              "DATA_INI")("encoding", i18n::tr("gbk (default) or utf8-bom"),
                                          cxxopts::value<std::string>()->default_value("gbk"), "E")(
            "from", i18n::tr("read the CSV as gbk or utf8 (found from its text unless given)"),
            cxxopts::value<std::string>(), "E");
    } else if (command == "encode") {
        options.add_options()("to", i18n::tr("gbk or utf8-bom"), cxxopts::value<std::string>(), "E")(
            "from", i18n::tr("gbk (default) or utf8"), cxxopts::value<std::string>()->default_value("gbk"),
            "E")("o,output", i18n::tr("write to FILE instead of in place"), cxxopts::value<std::string>(), "FILE");
    } else {
        throw cxxopts::exceptions::exception(i18n::tr("no command \"{0}\" (export, import or encode)", command));
    }
    const auto args = parse(options, argc, argv);
    if (args.count("help")) {
        std::cout << odds::translatedHelp(options.help()) << "\n";
        return kDone;
    }
    if (!args.count("file"))
        throw cxxopts::exceptions::exception(i18n::tr("no file given"));
    const std::string file = args["file"].as<std::string>();
    const bool strict = args.count("strict") > 0;
    const std::string output = args.count("output") ? args["output"].as<std::string>() : std::string();

    if (command == "export") {
        const auto document = openList(file);
        const std::string csv = authoring::toCsv(document);
        if (output.empty())
            std::cout << csv << std::flush;
        else
            authoring::replaceFile(catalogue::utf8Path(output), csv, authoring::Backup::None);
        return warn(document, catalogue::utf8Path(file), strict);
    }
    if (command == "import") {
        if (output.empty())
            throw cxxopts::exceptions::exception(i18n::tr("import needs -o DATA_INI"));
        const Encoding encoding = encodingOption(args["encoding"].as<std::string>(), "encoding");
        std::optional<authoring::CsvEncoding> from;
        if (args.count("from")) {
            const std::string text = args["from"].as<std::string>();
            if (text != "gbk" && text != "utf8")
                throw cxxopts::exceptions::exception(i18n::tr("--from takes gbk or utf8, not \"{0}\"", text));
            from = text == "gbk" ? authoring::CsvEncoding::Gbk : authoring::CsvEncoding::Utf8;
        }
        const std::string bytes = authoring::readCsvFile(catalogue::utf8Path(file));
        authoring::CsvImport imported;
        try {
            imported = authoring::importCsv(bytes, from);
        } catch (const authoring::ListError &error) {
            throw Failure{file + ": " + error.what()};
        }
        authoring::PrizeDocument &document = imported.document;
        std::cerr << "prizelist: " << i18n::tr("read {0} as {1}", file, authoring::describe(imported.encoding)) << "\n";
        if (imported.otherReading)
            std::cerr << "prizelist: "
                      << i18n::tr("both readings are plausible: as {0} the names are {1}; as {2} they are {3}. If {2} "
                                  "is right, import again with --from {4}",
                                  authoring::describe(imported.encoding),
                                  odds::terminalSafe(authoring::firstNames(document)),
                                  authoring::describe(*imported.otherEncoding),
                                  odds::terminalSafe(authoring::firstNames(*imported.otherReading)),
                                  *imported.otherEncoding == authoring::CsvEncoding::Gbk ? "gbk" : "utf8")
                      << "\n";
        document.setEncoding(encoding);
        note(document.save(catalogue::utf8Path(output)));
        return warn(document, catalogue::utf8Path(output), strict, imported.rows);
    }
    if (!args.count("to"))
        throw cxxopts::exceptions::exception(i18n::tr("encode needs --to gbk or --to utf8-bom"));
    const Encoding to = encodingOption(args["to"].as<std::string>(), "to");
    const std::string from = args["from"].as<std::string>();
    if (from != "gbk" && from != "utf8")
        throw cxxopts::exceptions::exception(i18n::tr("--from takes gbk or utf8, not \"{0}\"", from));
    if (output.empty()) // the list is read and written in place: an interrupted save of it first
        note(authoring::finishInterruptedSave(catalogue::utf8Path(file)));
    auto document = openList(file, from == "utf8" ? catalogue::PrizeListFile::Decoding::Utf8
                                                  : catalogue::PrizeListFile::Decoding::GbkUnlessMarked);
    document.setEncoding(to);
    const std::filesystem::path target = catalogue::utf8Path(output.empty() ? file : output);
    note(document.save(target));
    return warn(document, target, strict);
}

} // namespace

int main(int argc, char **argv)
{
    odds::useSystemLanguage();
    std::vector<std::string> arguments = odds::utf8Arguments(argc, argv);
    const odds::OwnConsole ownConsole; // started by a double click: a key closes the help it shows
    std::vector<char *> argumentPointers = odds::argumentPointers(arguments);
    const std::string command = arguments.size() > 1 ? arguments[1] : "";
    if (command.empty() || command == "-h" || command == "--help") {
        std::cout << about() << "\n";
        return command.empty() ? kFailed : kDone;
    }
    if (command == "--version") {
        std::cout << "prizelist " PRIZEDRAW_VERSION "\n";
        return kDone;
    }
    try {
        return run(command, static_cast<int>(argumentPointers.size()) - 1, argumentPointers.data() + 1);
    } catch (const cxxopts::exceptions::exception &error) {
        std::cerr << "prizelist: " << odds::optionErrorText(error) << "\n"
                  << i18n::tr("(prizelist --help describes the commands)") << "\n";
    } catch (const authoring::ListError &error) {
        std::cerr << "prizelist: " << error.what() << "\n";
    } catch (const catalogue::RuntimeError &error) {
        std::cerr << "prizelist: " << i18n::tr("run-time error {0}: {1}", error.number(), odds::runTimeErrorText(error))
                  << "\n";
    } catch (const Failure &failure) {
        std::cerr << "prizelist: " << failure.message << "\n";
    }
    return kFailed;
}
