// Which language the user gets, and the texts in it.
#include "i18n.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using i18n::Language;

namespace {
Language fromEnvironment(const std::map<std::string, std::string> &variables)
{
    return i18n::languageOfEnvironment([&](const char *name) -> const char * {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    });
}

// Sets the language for one test and puts English back after it.
struct InChinese {
    InChinese() { i18n::setLanguage(Language::SimplifiedChinese); }
    ~InChinese() { i18n::setLanguage(Language::English); }
};
} // namespace

TEST(Language, LocaleVariablesAreReadInGettextsOrder)
{
    EXPECT_EQ(fromEnvironment({}), Language::English);
    EXPECT_EQ(fromEnvironment({{"LANG", "zh_CN.UTF-8"}}), Language::SimplifiedChinese);
    EXPECT_EQ(fromEnvironment({{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "zh_CN.GB2312"}}), Language::SimplifiedChinese);
    EXPECT_EQ(fromEnvironment({{"LANG", "zh_CN.UTF-8"}, {"LC_MESSAGES", "de_DE"}}), Language::English);
    EXPECT_EQ(fromEnvironment({{"LANG", "zh_CN.UTF-8"}, {"LC_ALL", "C"}}), Language::English);
    EXPECT_EQ(fromEnvironment({{"LANG", "zh_CN.UTF-8"}, {"LC_ALL", ""}}), Language::SimplifiedChinese);
    // LANGUAGE takes its first entry that has a catalogue, but never overrides the C locale.
    EXPECT_EQ(fromEnvironment({{"LANG", "en_GB.UTF-8"}, {"LANGUAGE", "fr:zh_CN:en"}}), Language::SimplifiedChinese);
    EXPECT_EQ(fromEnvironment({{"LANG", "zh_CN.UTF-8"}, {"LANGUAGE", "en_US:zh_CN"}}), Language::English);
    EXPECT_EQ(fromEnvironment({{"LANG", "C.UTF-8"}, {"LANGUAGE", "zh_CN"}}), Language::English);
}

TEST(Language, SimplifiedChineseLocalesAndWindowsIdsAreChineseAndTraditionalOnesEnglish)
{
    for (const char *locale : {"zh_CN", "zh_CN.UTF-8", "zh_SG.GBK", "zh", "zh_Hans", "zh-Hans-CN", "ZH_cn@euro"})
        EXPECT_EQ(i18n::languageOfLocale(locale), Language::SimplifiedChinese) << locale;
    for (const char *locale : {"zh_TW.UTF-8", "zh_HK", "zh-Hant", "en_US", "", "POSIX", "zhx"})
        EXPECT_EQ(i18n::languageOfLocale(locale), Language::English) << locale;
    for (const unsigned id : {0x0804u, 0x1004u, 0x0004u, 0x7804u})
        EXPECT_EQ(i18n::languageOfWindowsId(id), Language::SimplifiedChinese) << id;
    for (const unsigned id : {0x0404u, 0x0C04u, 0x0409u, 0x0000u})
        EXPECT_EQ(i18n::languageOfWindowsId(id), Language::English) << id;
}

TEST(Translation, EnglishByDefaultAndTheCataloguesTextInChinese)
{
    EXPECT_STREQ(i18n::languageTag(), "en");
    EXPECT_STREQ(i18n::tr("weight 0: never drawn"), "weight 0: never drawn");
    EXPECT_STREQ(i18n::tr("a text no catalogue has"), "a text no catalogue has");

    const i18n::Message message = i18n::trLater("weight {0} is not a number: counted as 0, never drawn", "\"abc\"");
    InChinese chinese;
    EXPECT_STREQ(i18n::languageTag(), "zh-CN");
    EXPECT_STREQ(i18n::tr("a text no catalogue has"), "a text no catalogue has");
    // Made before the language changed, said in the language it is shown in.
    EXPECT_EQ(message.inEnglish(), "weight \"abc\" is not a number: counted as 0, never drawn");
    EXPECT_NE(message.translated().find("\"abc\""), std::string::npos);
    EXPECT_EQ(message.translated().find("weight"), std::string::npos) << message.translated();
}

TEST(Translation, AMessageMissingAValueStillSaysItsText)
{
    const i18n::Message message{"only {0} and {1}", {"one"}};
    EXPECT_EQ(message.inEnglish(), "only {0} and {1}");
}

TEST(Translation, AMenuTextOnAButtonLosesItsAccessKeyInEitherLanguage)
{
    EXPECT_EQ(i18n::withoutAccessKey("Move do&wn"), "Move down");
    EXPECT_EQ(i18n::withoutAccessKey("添加奖品(&A)"), "添加奖品");
    EXPECT_EQ(i18n::withoutAccessKey("Salt && &pepper"), "Salt & pepper");
}
