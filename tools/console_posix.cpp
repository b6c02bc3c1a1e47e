// The command line and the console where arguments are bytes already; the
// output is UTF-8, converted for a terminal whose locale says otherwise.
#include "console.h"
#include "terminal_text_posix.h"

#include "i18n.h"
#include "whole_messages.h"

#include <cerrno>
#include <clocale>
#include <iconv.h>
#include <langinfo.h>
#include <libintl.h>

#include <unistd.h>

namespace odds {

namespace {

// The character set of the user's locale, asked without leaving the
// program's own LC_CTYPE changed: "C" keeps byte-wise text functions as they were.
std::string localeCodeset()
{
    const std::string saved = std::setlocale(LC_CTYPE, nullptr);
    if (std::setlocale(LC_CTYPE, "") == nullptr)
        return "UTF-8"; // a locale that is not installed: as before, no conversion
    std::string codeset = nl_langinfo(CODESET);
    std::setlocale(LC_CTYPE, saved.c_str());
    return codeset;
}

// UTF-8 and plain ASCII (the C locale, where bytes have always passed as
// they are) are written unchanged.
bool convertsTo(const std::string &codeset)
{
    return codeset != "UTF-8" && codeset != "utf8" && codeset != "ANSI_X3.4-1968";
}

WholeMessages::Write writerTo(int fd, std::string codeset)
{
    return [fd, codeset = std::move(codeset)](std::string_view text) {
        const std::string converted = codeset.empty() ? std::string(text) : forTerminal(text, codeset);
        std::string_view rest = converted;
        while (!rest.empty()) {
            const ssize_t written = ::write(fd, rest.data(), rest.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return; // nowhere to write: the message is lost, as with the C library's streams
            rest.remove_prefix(static_cast<std::size_t>(written));
        }
    };
}

} // namespace

std::string forTerminal(std::string_view utf8, const std::string &codeset)
{
    const iconv_t converter = iconv_open((codeset + "//TRANSLIT").c_str(), "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::string(utf8);
    std::string out;
    char *in = const_cast<char *>(utf8.data());
    std::size_t inLeft = utf8.size();
    char buffer[1024];
    while (inLeft > 0) {
        char *outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr);
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // A character the set cannot hold, or bytes that are no UTF-8: one "?".
        out += '?';
        do {
            ++in;
            --inLeft;
        } while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
    }
    char *outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(converter, nullptr, nullptr, &outPtr, &outLeft); // the set's closing shift, if any
    out.append(buffer, outPtr);
    iconv_close(converter);
    return out;
}

std::vector<std::string> utf8Arguments(int argc, char **argv)
{
    const std::string codeset = localeCodeset();
    const auto codesetFor = [&](int fd) { return isatty(fd) && convertsTo(codeset) ? codeset : std::string(); };
    writeWholeMessages(writerTo(STDOUT_FILENO, codesetFor(STDOUT_FILENO)),
                       writerTo(STDERR_FILENO, codesetFor(STDERR_FILENO)));
    return {argv, argv + argc};
}

void useSystemLanguage()
{
    i18n::setLanguage(i18n::systemLanguage());
    // Messages only, in UTF-8 whatever the character type: numbers stay as
    // the C locale writes them.
    if (i18n::language() == i18n::Language::SimplifiedChinese) {
        std::setlocale(LC_MESSAGES, "");
        bind_textdomain_codeset("libc", "UTF-8");
    }
}

bool isTerminal(std::FILE *stream) { return isatty(fileno(stream)) != 0; }

// A terminal stays open when the program ends.
OwnConsole::OwnConsole() : alone_(false) {}

OwnConsole::~OwnConsole() = default;

} // namespace odds
