// The user's language for the editor's and the tools' texts: English source
// texts marked with tr() in the code, their translations compiled in from
// the catalogues in this folder (zh_CN.po).
#pragma once

#include <fmt/format.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace i18n {

enum class Language { English, SimplifiedChinese };

// The language of a locale name such as "zh_CN.UTF-8", "zh_SG", "zh_Hans" or
// "en_US": Simplified Chinese for zh with no region or a Simplified one, else English.
Language languageOfLocale(std::string_view locale);

// The language of the environment in gettext's order: LC_ALL, then
// LC_MESSAGES, then LANG; LANGUAGE (a colon-separated list) when that locale
// is not C or POSIX. getenv returns nullptr for an unset variable.
Language languageOfEnvironment(const std::function<const char *(const char *)> &getenv);

// The language of a Windows language id (GetUserDefaultUILanguage).
Language languageOfWindowsId(unsigned id);

// The user's language on this platform.
Language systemLanguage();

// The language tr() translates into; English until a program sets it, so
// tests are in English unless they choose otherwise.
void setLanguage(Language language);
Language language();
// "zh-CN" or "en", for a document's lang attribute.
const char *languageTag();

// The current language's text for an English source text, or the source
// itself when there is none. The result lives as long as the program.
const char *tr(const char *english);
// The same, with fmt placeholders filled: {0}, {1}... so that a translation
// may put them in another order.
template <typename... Args>
std::string tr(const char *english, const Args &...args)
{
    try {
        return fmt::format(fmt::runtime(tr(english)), args...);
    } catch (const fmt::format_error &) {
        return fmt::format(fmt::runtime(english), args...); // a translation's placeholders gone wrong
    }
}

// A menu text as a button shows it, without its access key: "Move do&wn"
// gives "Move down", a translation's "添加奖品(&A)" gives "添加奖品"; "&&" is an ampersand.
std::string withoutAccessKey(std::string_view menuText);

// The translation of english into language, or nullptr when the catalogue has none.
const char *translation(Language language, std::string_view english);

// A text to be translated when it is shown, not when it is made: the source
// text and the values that fill its placeholders, as text.
struct Message {
    const char *english = "";
    std::vector<std::string> values;

    std::string translated() const; // in the current language
    std::string inEnglish() const;
};
template <typename... Args>
Message trLater(const char *english, const Args &...args)
{
    return {english, {fmt::format("{}", args)...}};
}

} // namespace i18n
