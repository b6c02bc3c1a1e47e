// Reading data.ini line by line: line ends, end of file, encodings.
#include "fakes.h"
#include "prize_list_file.h"

#include <gtest/gtest.h>

using catalogue::PrizeListFile;
using catalogue::RuntimeError;
using catalogue::Variant;

namespace {
std::vector<std::string> allLines(const std::filesystem::path &path)
{
    PrizeListFile file(path);
    std::vector<std::string> lines;
    Variant line;
    while (!file.atEnd()) {
        file.readLine(line);
        lines.push_back(line.toText());
    }
    return lines;
}

} // namespace

TEST(PrizeListFile, EndsLinesAtCrLfLfOrCrAndNeedsNoFinalTerminator)
{
    fakes::TempFolder folder;
    using Lines = std::vector<std::string>;
    EXPECT_EQ(allLines(folder.write("a", "1\r\n2\r\n3\r\n")), (Lines{"1", "2", "3"}));
    EXPECT_EQ(allLines(folder.write("b", "1\r\n2\r\n3")), (Lines{"1", "2", "3"}));
    EXPECT_EQ(allLines(folder.write("c", "1\n2\r3\r\n\n5")), (Lines{"1", "2", "3", "", "5"}));
    EXPECT_EQ(allLines(folder.write("d", "\r\n")), (Lines{""}));
    EXPECT_EQ(allLines(folder.write("e", "")), (Lines{}));
    EXPECT_EQ(allLines(folder.write("f", " keep  blanks \t\r\n")), (Lines{" keep  blanks \t"}));
}

TEST(PrizeListFile, ReadingPastTheEndFailsAndLeavesTheBufferAsItWas)
{
    fakes::TempFolder folder;
    PrizeListFile file(folder.write("data.ini", "only\r\n"));
    Variant line;
    file.readLine(line);
    EXPECT_TRUE(file.atEnd());
    try {
        file.readLine(line);
        FAIL() << "read past the end";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), 62);
    }
    EXPECT_EQ(line.toText(), "only");
}

TEST(PrizeListFile, DecodesGbkAndReadsUtf8OnlyAfterAByteOrderMark)
{
    fakes::TempFolder folder;
    PrizeListFile gbk(folder.write("gbk", "\xD3\xAB\xB9\xE2\xB0\xF4\r\n"));
    Variant line;
    gbk.readLine(line);
    EXPECT_EQ(line.toText(), "荧光棒");
    EXPECT_FALSE(gbk.readsUtf8());

    PrizeListFile utf8(folder.write("utf8", "\xEF\xBB\xBF荧光棒\r\n\xFF\r\n"));
    EXPECT_TRUE(utf8.readsUtf8());
    utf8.readLine(line);
    EXPECT_EQ(line.toText(), "荧光棒");
    utf8.readLine(line);
    EXPECT_EQ(line.toText(), "\uFFFD");

    // A mark anywhere but at the very start is just bytes of GBK text.
    PrizeListFile late(folder.write("late", "a\r\n\xEF\xBB\xBF\r\n"));
    EXPECT_FALSE(late.readsUtf8());
}

TEST(PrizeListFile, BytesInMemoryReadAsTheSameFileWould)
{
    fakes::TempFolder folder;
    auto linesOf = [](PrizeListFile &input) {
        std::vector<std::string> lines{input.readsUtf8() ? "utf8" : "gbk"};
        Variant line;
        while (!input.atEnd()) {
            input.readLine(line);
            lines.push_back(line.toText());
        }
        EXPECT_THROW(input.readLine(line), RuntimeError);
        return lines;
    };
    const std::string chunkEdge(64 * 1024 - 1, 'x'); // CR last in one read, LF first in the next
    const std::vector<std::string> lists{"", "1\r\n2\r3\n\n5", "\xEF\xBB\xBF\xE8\x8D\xA7\r\n\xFF", "\xEF\r\n\xD3\xAB",
                                         chunkEdge + "\r\ny\r\n"};
    for (const auto &bytes : lists) {
        PrizeListFile file(folder.write("data.ini", bytes));
        auto memory = PrizeListFile::overBytes(bytes);
        EXPECT_EQ(linesOf(memory), linesOf(file)) << bytes.substr(0, 20);
    }
}

TEST(PrizeListFile, CutsAHugeLineButKeepsReadingAfterIt)
{
    fakes::TempFolder folder;
    const std::string huge(PrizeListFile::kMaxLineBytes + 1000, 'x');
    PrizeListFile file(folder.write("data.ini", huge + "\r\nnext\r\n"));
    Variant line;
    file.readLine(line);
    EXPECT_EQ(line.toText().size(), PrizeListFile::kMaxLineBytes);
    file.readLine(line);
    EXPECT_EQ(line.toText(), "next");
}
