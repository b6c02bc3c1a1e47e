// Looking up translations, and the language of a locale name.
#include "i18n.h"

#include "catalogues.h"

#include <fmt/args.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <string>
#include <unordered_map>

namespace i18n {

namespace {

std::atomic<Language> current{Language::English};

std::string lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

bool isCLocale(std::string_view locale) { return locale == "C" || locale == "POSIX" || locale.starts_with("C."); }

const std::unordered_map<std::string_view, const char *> &chinese()
{
    static const auto table = [] {
        std::unordered_map<std::string_view, const char *> map;
        for (std::size_t i = 0; i < catalogues::zhCNSize; ++i)
            map.emplace(catalogues::zhCN[i].english, catalogues::zhCN[i].translated);
        return map;
    }();
    return table;
}

std::string formatted(const char *pattern, const std::vector<std::string> &values)
{
    fmt::dynamic_format_arg_store<fmt::format_context> args;
    for (const std::string &value : values)
        args.push_back(value);
    try {
        return fmt::vformat(pattern, args);
    } catch (const fmt::format_error &) {
        return pattern; // a placeholder without its value: the text still says what happened
    }
}

} // namespace

Language languageOfLocale(std::string_view locale)
{
    // language[_territory][.codeset][@modifier], or a BCP 47 tag such as zh-Hans-CN
    locale = locale.substr(0, std::min(locale.find('.'), locale.find('@')));
    const std::string name = lowered(locale);
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= name.size();) {
        const std::size_t end = std::min(name.find_first_of("_-", start), name.size());
        parts.push_back(name.substr(start, end - start));
        start = end + 1;
    }
    if (parts.front() != "zh")
        return Language::English;
    // Traditional Chinese has no catalogue yet: English rather than Simplified.
    for (const std::string &part : parts)
        if (part == "hant" || part == "tw" || part == "hk" || part == "mo")
            return Language::English;
    return Language::SimplifiedChinese;
}

Language languageOfEnvironment(const std::function<const char *(const char *)> &getenv)
{
    const auto value = [&](const char *variable) {
        const char *text = getenv(variable);
        return std::string_view(text ? text : "");
    };
    std::string_view locale = value("LC_ALL");
    if (locale.empty())
        locale = value("LC_MESSAGES");
    if (locale.empty())
        locale = value("LANG");
    if (locale.empty() || isCLocale(locale))
        return Language::English;
    // The first of LANGUAGE's entries that has a catalogue, English included.
    std::string_view list = value("LANGUAGE");
    while (!list.empty()) {
        const std::string_view entry = list.substr(0, list.find(':'));
        list.remove_prefix(std::min(list.size(), entry.size() + 1));
        if (languageOfLocale(entry) == Language::SimplifiedChinese)
            return Language::SimplifiedChinese;
        if (lowered(entry.substr(0, 2)) == "en" && (entry.size() == 2 || !std::isalpha((unsigned char)entry[2])))
            return Language::English;
    }
    return languageOfLocale(locale);
}

Language languageOfWindowsId(unsigned id)
{
    switch (id) {
    case 0x0004: // zh-Hans
    case 0x0804: // zh-CN
    case 0x1004: // zh-SG
    case 0x7804: // zh
        return Language::SimplifiedChinese;
    default: return Language::English;
    }
}

void setLanguage(Language language) { current = language; }
Language language() { return current; }
const char *languageTag() { return current == Language::SimplifiedChinese ? "zh-CN" : "en"; }

const char *translation(Language language, std::string_view english)
{
    if (language != Language::SimplifiedChinese)
        return nullptr;
    const auto &table = chinese();
    const auto found = table.find(english);
    return found == table.end() ? nullptr : found->second;
}

const char *tr(const char *english)
{
    const char *translated = translation(current, english);
    return translated ? translated : english;
}

std::string withoutAccessKey(std::string_view menuText)
{
    // A translation keeps the English key letter in brackets at its end.
    if (menuText.size() >= 4 && menuText.ends_with(')') && menuText[menuText.size() - 4] == '(' &&
        menuText[menuText.size() - 3] == '&')
        menuText.remove_suffix(4);
    std::string plain;
    for (std::size_t k = 0; k < menuText.size(); ++k) {
        if (menuText[k] != '&')
            plain += menuText[k];
        else if (k + 1 < menuText.size() && menuText[k + 1] == '&')
            plain += menuText[++k];
    }
    return plain;
}

std::string Message::translated() const { return formatted(tr(english), values); }
std::string Message::inEnglish() const { return formatted(english, values); }

} // namespace i18n
