#include "option_errors.h"

#include "i18n.h"

#include <cxxopts.hpp>

#include <vector>

namespace odds {
namespace {

// The parser keeps no names apart from its English message, where each one
// stands between its quote marks.
std::vector<std::string> quotedParts(const std::string &message)
{
    std::vector<std::string> parts;
    std::size_t at = 0;
    while ((at = message.find(cxxopts::LQUOTE, at)) != std::string::npos) {
        const std::size_t start = at + cxxopts::LQUOTE.size();
        const std::size_t end = message.find(cxxopts::RQUOTE, start);
        if (end == std::string::npos)
            break;
        parts.push_back(message.substr(start, end - start));
        at = end + cxxopts::RQUOTE.size();
    }
    return parts;
}

// The option as typed: the parser names it without its dashes.
std::string dashed(const std::string &name) { return (name.size() == 1 ? "-" : "--") + name; }

} // namespace

std::string optionErrorText(const std::exception &error)
{
    namespace ex = cxxopts::exceptions;
    const auto parts = quotedParts(error.what());
    if (parts.size() == 1) {
        if (dynamic_cast<const ex::no_such_option *>(&error))
            return i18n::tr("there is no option {0}", dashed(parts[0]));
        if (dynamic_cast<const ex::missing_argument *>(&error) ||
            dynamic_cast<const ex::option_requires_argument *>(&error))
            return i18n::tr("{0} needs a value after it", dashed(parts[0]));
        if (dynamic_cast<const ex::incorrect_argument_type *>(&error))
            return i18n::tr("\"{0}\" is not a value that option takes", parts[0]);
        if (dynamic_cast<const ex::invalid_option_syntax *>(&error))
            return i18n::tr("\"{0}\" starts with - but is not an option", parts[0]);
    }
    if (parts.size() == 2 && dynamic_cast<const ex::gratuitous_argument_for_option *>(&error))
        return i18n::tr("{0} takes no value, but \"{1}\" was given", dashed(parts[0]), parts[1]);
    return error.what();
}

std::string translatedHelp(std::string help)
{
    if (const auto at = help.find("Usage:"); at != std::string::npos)
        help.replace(at, 6, i18n::tr("Usage:"));
    return help;
}

} // namespace odds
