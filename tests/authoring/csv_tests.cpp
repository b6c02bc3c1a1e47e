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
    EXPECT_EQ(refusal(header + "1,2,a,3,\r\n1,2,b\r\n"), "line 3: 3 fields, but the header has 5");
    EXPECT_EQ(refusal(header + "1,2,a,3,\r\n1,2,\"b,3,\r\n\r\n"), "line 3: a quote opened in this row is never closed");
    EXPECT_NE(refusal(header + "1,2,a\"b,3,\r\n").find("line 2: a quote inside a field"), std::string::npos);
    EXPECT_NE(refusal("weight,name,amount\r\n1,a,2\r\n").find("line 1: no \"color\" column"), std::string::npos);
    EXPECT_EQ(refusal(header + "1,#12345,a,3,\r\n"), "line 2: the colour \"#12345\" is not of the form #RRGGBB");
    EXPECT_EQ(refusal(header + "1,2,a,3,ok\r\n1,2,\"two\r\nlines\",3,\r\n"),
              "line 3: the name holds a line break, which a line of a prize list cannot hold");
    EXPECT_NE(refusal("\xEF\xBB\xBF" + header + "1,2,\xB0\xF4,3,\r\n").find("line 2: this is not UTF-8 text"),
              std::string::npos);
    EXPECT_NE(refusal(header + "1,2,a,3,\r\n1,2,\xFF,3,\r\n").find("line 3: this is neither UTF-8 nor GBK"),
              std::string::npos);

    std::string many = header;
    for (int i = 0; i <= catalogue::Catalogue::kMaxPrizes; ++i)
        many += "0,0,p,1,\r\n";
    EXPECT_EQ(refusal(many), "line 1002: more than 1000 prizes: the game reads only the first 1000");
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
              "line 3: more fields than the 5 of the header");
    EXPECT_NE(refusal(std::string(1000, ',') + "\r\n").find("line 1: more than 256 columns"), std::string::npos);
    // Blank lines, CR-only line ends and line breaks inside quotes (in a column the list ignores) all count.
    EXPECT_EQ(refusal("weight,color,name,amount,note,extra\r\n\r\n1,2,a,3,,\"x\ny\"\r1,2\r\n"),
              "line 5: 2 fields, but the header has 6");

    fakes::TempFolder folder;
    folder.write("big.csv", header + std::string(authoring::kMaxCsvBytes, ','));
    const std::string bytes = authoring::readCsvFile(folder.path() / "big.csv");
    EXPECT_EQ(bytes.size(), authoring::kMaxCsvBytes + 1); // never more is read
    EXPECT_NE(refusal(bytes).find("over 4 MiB"), std::string::npos);
}
