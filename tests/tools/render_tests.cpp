// The report as terminal text, JSON and HTML.
#include "display_text.h"
#include "list_folder.h"
#include "render.h"
#include "render_html.h"

#include "i18n.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace testing_odds;
using odds::displayWidth;

TEST(DisplayText, ChineseTakesTwoColumnsAndControlsAreDefused)
{
    EXPECT_EQ(displayWidth("荧光棒"), 6);
    EXPECT_EQ(displayWidth("Cup"), 3);
    EXPECT_EQ(odds::pad("荧光棒", 8), "荧光棒  ");
    EXPECT_EQ(odds::pad("7", 3, odds::Align::Right), "  7");
    EXPECT_EQ(odds::terminalSafe("a\x1B[2Jb\r\n"), "a\uFFFD[2Jb\uFFFD\uFFFD");
    EXPECT_EQ(odds::terminalSafe("x\u202Ey"), "x\uFFFDy");        // no right-to-left override
    EXPECT_EQ(odds::terminalSafe("ok \xFF"), "ok \uFFFD");        // a stray byte
    EXPECT_EQ(odds::fitWidth("荧光棒荧光棒", 7), "荧光棒\u2026"); // never half a wide character
    EXPECT_EQ(odds::fitWidth("short", 7), "short");
}

TEST(DisplayText, WidthsComeFromTheUnicodeTablesAtTheirEdges)
{
    EXPECT_EQ(displayWidth("e\u0301"), 1);            // a combining accent takes no column
    EXPECT_EQ(displayWidth("\u4E00\u9FFF"), 4);       // the first and last of the main CJK block
    EXPECT_EQ(displayWidth("\uFF21\U0001F381"), 4);   // a fullwidth letter and an emoji
    EXPECT_EQ(displayWidth("\u00AD\u200B\uFF61"), 2); // soft hyphen 1, zero-width space 0, halfwidth dot 1
    EXPECT_EQ(odds::terminalSafe("a\u2028b\u2029\u0085"), "a\uFFFDb\uFFFD\uFFFD");
    EXPECT_EQ(odds::terminalSafe("\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFD"); // a surrogate is no character
}

TEST(TextReport, AlignsColumnsByDisplayWidth)
{
    ListFolder list;
    const auto report = list.report(fakes::record("60", "255", "\xD3\xAB\xB9\xE2\xB0\xF4", "10") + // 荧光棒
                                    fakes::record("40", "65280", "Cup", "3"));
    const std::string text = odds::renderText(report, {});
    // The display column at which a cell begins on the line that starts so.
    auto columnOf = [&](const std::string &lineStart, const std::string &cell) {
        const auto begin = text.find(lineStart);
        const std::string line = text.substr(begin, text.find('\n', begin) - begin);
        return displayWidth(line.substr(0, line.find(cell)));
    };
    EXPECT_EQ(columnOf(" #  name", "amount"), columnOf(" 1  荧光棒", "10"));
    EXPECT_EQ(columnOf(" #  name", "amount"), columnOf(" 2  Cup", "3 "));
    EXPECT_EQ(columnOf(" #  name", "colour"), columnOf(" 1  荧光棒", "#FF0000"));
    EXPECT_EQ(columnOf(" #  name", "colour"), columnOf(" 2  Cup", "#00FF00"));
}

TEST(TextReport, ShowsTheEmptyCardOnlyWhenItIsDrawn)
{
    ListFolder list;
    EXPECT_EQ(odds::renderText(list.report(weights({"100"})), {}).find("(empty card)"), std::string::npos);
    EXPECT_NE(odds::renderText(list.report(weights({"90"})), {}).find("(empty card)"), std::string::npos);
}

TEST(JsonReport, HasOneEntryPerPrizeTheEmptyCardAndEachWarning)
{
    ListFolder list;
    const auto report = list.report(weights({"50", "abc", "30"}));
    odds::Audits audits;
    audits.draws = odds::simulateDraws(*list.list.catalogue, 100, 2, countsOf(report));
    const auto json = nlohmann::json::parse(odds::renderJson(report, audits));

    EXPECT_EQ(json["drawValues"], 16777216);
    EXPECT_EQ(json["prizeCount"], 3);
    EXPECT_EQ(json["totalWeight"], 80.0);
    ASSERT_EQ(json["prizes"].size(), 3u);
    const auto &prize = json["prizes"][1];
    EXPECT_EQ(prize["index"], 1);
    EXPECT_EQ(prize["number"], 2); // as messages count
    EXPECT_EQ(prize["name"], "p1");
    EXPECT_EQ(prize["weight"], "abc");
    EXPECT_EQ(prize["weightCounted"], 0.0);
    EXPECT_EQ(prize["weightIsNumber"], false);
    EXPECT_EQ(prize["color"], "#FF0000");
    EXPECT_EQ(prize["count"], 0);
    EXPECT_EQ(prize["picture"], "missing");
    EXPECT_EQ(json["prizes"][0]["probability"], 0.5);
    EXPECT_EQ(json["emptyCard"]["count"], report.emptyCount);

    ASSERT_EQ(json["warnings"].size(), report.warnings.size());
    EXPECT_EQ(json["warnings"][0]["code"], "total-not-100");
    EXPECT_TRUE(json["warnings"][0]["index"].is_null());
    EXPECT_EQ(json["warnings"][1]["index"], 0);
    EXPECT_EQ(json["warnings"][1]["number"], 1);
    EXPECT_EQ(json["warnings"][1]["name"], "p0");

    EXPECT_EQ(json["simulation"]["draws"], 100);
    EXPECT_EQ(json["simulation"]["counts"].size(), 4u);
    EXPECT_FALSE(json.contains("spins"));
}

TEST(JsonReport, EveryWarningCodeKeepsTheTextUsersScriptsMatch)
{
    std::string texts;
    for (int code = 0; code <= int(odds::WarningCode::PictureUnused); ++code)
        texts += std::string(odds::codeText(odds::WarningCode(code))) + " ";
    EXPECT_EQ(texts, "read-as-utf8 utf8-without-bom records-ignored no-prizes total-not-100 last-record-cut-short "
                     "line-cut weight-not-a-number weight-negative weight-zero cut rare color-unusable "
                     "color-hides-name name-too-wide amount-too-wide name-character-missing "
                     "amount-character-missing picture-too-small picture-near-miss picture-portrait picture-missing "
                     "picture-refused picture-unsafe-name name-not-windows-file name-duplicate picture-unused ");
}

TEST(HtmlSheet, EmbedsPicturesAndEscapesPrizeText)
{
    ListFolder list;
    list.picture("Cup");
    const auto report = list.report(fakes::record("70", "255", "Cup", "1") +
                                    fakes::record("20", "65280", "<b>Tom & \"Jerry\"</b>", "2"));
    const std::string html = odds::renderHtml(report);
    // The JPEG is embedded whole: its first bytes FF D8 FF E0 00 10 4A 46 49 46 in base64.
    EXPECT_NE(html.find("src=\"data:image/jpeg;base64,/9j/4AAQSkZJRg"), std::string::npos);
    EXPECT_NE(html.find("&lt;b&gt;Tom &amp; &quot;Jerry&quot;&lt;/b&gt;"), std::string::npos);
    EXPECT_EQ(html.find("<b>Tom"), std::string::npos);
    EXPECT_NE(html.find("<td class=\"num\">2</td><td class=\"pic\">"), std::string::npos); // numbered from 1
    EXPECT_NE(html.find("background:#00FF00"), std::string::npos);
    EXPECT_NE(html.find("70.0000%"), std::string::npos);
    EXPECT_NE(html.find("(no prize: empty card)"), std::string::npos); // 10 % left over
    // One bar per row, the largest share filling its track.
    std::size_t bars = 0;
    for (auto at = html.find("class=\"fill\""); at != std::string::npos; at = html.find("class=\"fill\"", at + 1))
        ++bars;
    EXPECT_EQ(bars, 3u);
    EXPECT_NE(html.find("width:100.00%"), std::string::npos);
}

TEST(HtmlSheet, HeadingsAndLangFollowTheLanguage)
{
    ListFolder list;
    const auto report = list.report(fakes::record("90", "255", "Cup", "1"));
    std::string html = odds::renderHtml(report);
    EXPECT_NE(html.find("<html lang=\"en\">"), std::string::npos);
    EXPECT_NE(html.find("<h1>Prize odds</h1>"), std::string::npos);

    i18n::setLanguage(i18n::Language::SimplifiedChinese);
    html = odds::renderHtml(report);
    i18n::setLanguage(i18n::Language::English);
    EXPECT_NE(html.find("<html lang=\"zh-CN\">"), std::string::npos);
    EXPECT_NE(html.find("<h1>中奖概率</h1>"), std::string::npos);
    EXPECT_NE(html.find("<th>奖品</th>"), std::string::npos);
    EXPECT_NE(html.find("（没有奖品：空卡）"), std::string::npos);
    EXPECT_NE(html.find("90.0000%"), std::string::npos); // numbers as they are
    EXPECT_EQ(html.find("Prize odds"), std::string::npos);
}
