// Prize lists to and from CSV.
#include "authoring_fixtures.h"
#include "prize_csv.h"

#include <gtest/gtest.h>

using namespace testing_authoring;
using authoring::Field;
using authoring::fromCsv;
using authoring::ListError;
using authoring::toCsv;

namespace {
// "小猫" and "伞" in GBK: bytes that are valid UTF-8 too, "Сè" and "ɡ".
const std::string kKitten = "\xD0\xA1\xC3\xA8";
const std::string kUmbrella = "\xC9\xA1";

// The message fromCsv refuses text with.
std::string refusal(const std::string &csv)
{
    try {
        fromCsv(csv);
    } catch (const ListError &error) {
        return error.what();
    }
    return "accepted";
}
} // namespace

TEST(Csv, WritesAndReadsQuotesCommasAndBlanks)
{
    authoring::PrizeDocument document;
    document.insert(0, {"60", "255", "say \"hi\", twice", " 1 ", ""});
    document.insert(1, {"40", "0", "荧光棒", "2", "note"});
    const std::string csv = toCsv(document);
    EXPECT_EQ(csv, "\xEF\xBB\xBFweight,color,name,amount,note\r\n"
                   "60,255,\"say \"\"hi\"\", twice\",\" 1 \",\r\n"
                   "40,0,荧光棒,2,note\r\n");
    const auto back = fromCsv(csv);
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back.texts(0), document.texts(0));
    EXPECT_EQ(back.texts(1), document.texts(1));
}

TEST(Csv, FindsColumnsByNameAndTakesHexColours)
{
    // Any column order, no note, a spreadsheet's LF line ends, blank lines skipped.
    const auto document = fromCsv("Name,Amount,Color,Weight\n\"a\",1,#FF8000,50\n\nb,2,#0000ff,50\n");
    ASSERT_EQ(document.size(), 2);
    EXPECT_EQ(document.text(0, Field::Name), "a");
    EXPECT_EQ(document.text(0, Field::Color), std::to_string(0xFF + 256 * 0x80));
    EXPECT_EQ(document.text(1, Field::Color), std::to_string(65536 * 0xFF));
    EXPECT_EQ(document.text(1, Field::Note), "");
}

TEST(Csv, RefusesWhatItCannotReadWithTheLineNumber)
{
    const std::string header = "weight,color,name,amount,note\r\n";
    EXPECT_EQ(refusal(header + "1,2,a,3,\r\n1,2,b\r\n"), "line 3, spreadsheet row 3: 3 fields, but the header has 5");
    EXPECT_EQ(refusal(header + "1,2,a,3,\r\n1,2,\"b,3,\r\n\r\n"),
              "line 3, spreadsheet row 3: a quote opened in this row is never closed");
    EXPECT_NE(refusal(header + "1,2,a\"b,3,\r\n").find("line 2, spreadsheet row 2: a quote inside a field"),
              std::string::npos);
    EXPECT_NE(refusal("weight,name,amount\r\n1,a,2\r\n").find("line 1, spreadsheet row 1: no \"color\" column"),
              std::string::npos);
    EXPECT_EQ(refusal(header + "1,#12345,a,3,\r\n"),
              "line 2, spreadsheet row 2: the colour \"#12345\" is not of the form #RRGGBB");
    EXPECT_EQ(refusal(header + "1,2,a,3,ok\r\n1,2,\"two\r\nlines\",3,\r\n"),
              "line 3, spreadsheet row 3: the name holds a line break, which a line of a prize list cannot hold");
    // Excel shows no row for its sep= line.
    EXPECT_EQ(refusal("sep=,\r\n" + header + "1,2,a\r\n"), "line 3, spreadsheet row 2: 3 fields, but the header has 5");
    EXPECT_NE(refusal("sep=\r\n" + header).find("line 1, spreadsheet row 1: the first line \"sep=\""),
              std::string::npos);
    EXPECT_NE(refusal("\xEF\xBB\xBF" + header + "1,2,\xB0\xF4,3,\r\n").find("line 2: this is not UTF-8 text"),
              std::string::npos);
    EXPECT_NE(refusal(header + "1,2,a,3,\r\n1,2,\xFF,3,\r\n").find("line 3: this is neither UTF-8 nor GBK"),
              std::string::npos);

    std::string many = header;
    for (int i = 0; i <= catalogue::Catalogue::kMaxPrizes; ++i)
        many += "0,0,p,1,\r\n";
    EXPECT_EQ(refusal(many),
              "line 1002, spreadsheet row 1002: more than 1000 prizes: the game reads only the first 1000");
}

TEST(Csv, ReadsGbkAsChineseSpreadsheetsSaveIt)
{
    const std::string gbk = "weight,color,name,amount\r\n50,255," + kGlowStick + ",1\r\n50,0," + kLollipop + ",2\r\n";
    EXPECT_EQ(authoring::csvEncoding(gbk), authoring::CsvEncoding::Gbk);
    const auto document = fromCsv(gbk);
    ASSERT_EQ(document.size(), 2);
    EXPECT_EQ(document.text(0, Field::Name), "荧光棒");
    EXPECT_EQ(document.text(1, Field::Name), "棒棒糖");

    EXPECT_EQ(authoring::csvEncoding("name\r\n荧光棒\r\n"), authoring::CsvEncoding::Utf8);
    EXPECT_EQ(authoring::csvEncoding("\xEF\xBB\xBFname\r\n" + kGlowStick), authoring::CsvEncoding::Utf8WithMark);
}

TEST(Csv, StopsAtTheFirstRowPastABound)
{
    const std::string header = "weight,color,name,amount,note\r\n";
    // Refused at the first field too many, whatever follows.
    EXPECT_EQ(refusal(header + "1,2,a,3,\r\n1,2,b,3,," + std::string(1000, ',') + "\r\n"),
              "line 3, spreadsheet row 3: more fields than the 5 of the header");
    EXPECT_NE(refusal(std::string(1000, ',') + "\r\n").find("line 1, spreadsheet row 1: more than 256 columns"),
              std::string::npos);
    // Blank lines, CR-only line ends and line breaks inside quotes (in a column the list ignores) all count as
    // lines; a spreadsheet shows the blank line as a row, and the quoted line break inside its row.
    EXPECT_EQ(refusal("weight,color,name,amount,note,extra\r\n\r\n1,2,a,3,,\"x\ny\"\r1,2\r\n"),
              "line 5, spreadsheet row 4: 2 fields, but the header has 6");

    fakes::TempFolder folder;
    folder.write("big.csv", header + std::string(authoring::kMaxCsvBytes, ','));
    const std::string bytes = authoring::readCsvFile(folder.path() / "big.csv");
    EXPECT_EQ(bytes.size(), authoring::kMaxCsvBytes + 1); // never more is read
    EXPECT_NE(refusal(bytes).find("over 4 MiB"), std::string::npos);
}

TEST(Csv, ReadsWhatExcelAndWpsSaveOnChineseWindows)
{
    // GBK without a mark, CR LF, a sep= line, percent weights, a weight that only looks like one, trailing empty rows.
    const std::string csv = "sep=;\r\nweight;color;name;amount;note\r\n21%;255;" + kKitten + ";1;\r\n78 %;65280;" +
                            kUmbrella + ";2;\r\nx%;0;c;1;\r\n1e999%;0;d;1;\r\n;;;;\r\n;;;;\r\n";
    const authoring::CsvImport read = authoring::importCsv(csv);
    EXPECT_EQ(read.encoding, authoring::CsvEncoding::Gbk);
    ASSERT_EQ(read.document.size(), 4);
    EXPECT_EQ(read.document.texts(0), (authoring::Texts{"21", "255", "小猫", "1", ""}));
    EXPECT_EQ(read.document.text(1, Field::Weight), "78");
    EXPECT_EQ(read.document.text(1, Field::Name), "伞");
    EXPECT_EQ(read.document.text(2, Field::Weight), "x%");
    EXPECT_EQ(read.document.text(3, Field::Weight), "1e999%"); // beyond the doubles: as written
    EXPECT_EQ(read.rows, (std::vector<int>{2, 3, 4, 5}));
}

TEST(Csv, TakesTheEditorsChineseColumnNamesInAnyOrder)
{
    const auto document = fromCsv("\xEF\xBB\xBF名称,数量,备注,颜色,权重\r\n伞,2,雨天,#FF0000,100\r\n");
    ASSERT_EQ(document.size(), 1);
    EXPECT_EQ(document.texts(0), (authoring::Texts{"100", "255", "伞", "2", "雨天"}));
    EXPECT_NE(refusal("名称,name,数量,颜色,权重\r\n伞,伞,2,0,100\r\n").find("the column \"name\" is named twice"),
              std::string::npos);
}

TEST(Csv, RefusesAListInWhichNoPrizeIsEverDrawn)
{
    EXPECT_NE(
        refusal("weight,color,name,amount\r\n二十,255,a,1\r\n0,255,b,1\r\n").find("no prize has a weight above 0"),
        std::string::npos);
    EXPECT_NE(refusal("weight,color,name,amount\r\n,,,\r\n").find("holds no prize"), std::string::npos);
}

TEST(Csv, TellsGbkFromUtf8ByTheTextEachGives)
{
    using authoring::CsvEncoding;
    // GBK names whose bytes are valid UTF-8 too, and a UTF-8 name whose bytes are valid GBK ("一" is E4 B8 80).
    EXPECT_EQ(authoring::csvEncoding("60,255," + kKitten + ",1\r\n40,65280," + kUmbrella + ",2\r\n"), CsvEncoding::Gbk);
    EXPECT_EQ(authoring::csvEncoding("name\r\n一\r\n"), CsvEncoding::Utf8);
    EXPECT_EQ(authoring::csvEncoding("name,weight\r\n" + kKitten + ",1\r\n"), CsvEncoding::Gbk);

    // The other reading is offered where it is nearly as likely, and can be forced.
    const std::string csv = "weight,color,name,amount\r\n100,255,Caf\xC3\xA9,1\r\n"; // Café, or "Caf茅" in GBK
    const authoring::CsvImport read = authoring::importCsv(csv);
    ASSERT_TRUE(read.otherEncoding.has_value());
    EXPECT_NE(*read.otherEncoding, read.encoding);
    EXPECT_EQ(authoring::firstNames(*read.otherReading) == "\"Café\"", read.encoding == CsvEncoding::Gbk);
    EXPECT_EQ(authoring::importCsv(csv, CsvEncoding::Utf8).document.text(0, Field::Name), "Café");
    EXPECT_EQ(authoring::importCsv(csv, CsvEncoding::Gbk).document.text(0, Field::Name), "Caf茅");
}

TEST(Csv, SaysInTheSystemsWordsWhyAFileCannotBeRead)
{
    fakes::TempFolder folder;
    for (const auto &file : {folder.path() / "nofile.csv", folder.path()}) {
        std::string message;
        try {
            authoring::readCsvFile(file);
        } catch (const ListError &error) {
            message = error.what();
        }
        const std::string named = file.string() + ": ";
        ASSERT_NE(message.find(named), std::string::npos) << message;
        const std::string reason = message.substr(message.find(named) + named.size());
        EXPECT_FALSE(reason.empty() || reason == "the system gives no reason") << message;
    }
}
