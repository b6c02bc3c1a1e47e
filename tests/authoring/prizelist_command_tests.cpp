// The prizelist program as a user runs it.
#include "authoring_fixtures.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstring>

#include <sys/wait.h>

using namespace testing_authoring;

namespace {
struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs prizelist in folder with arguments already quoted for the shell, and
// any environment variables as NAME=value before them.
Outcome prizelist(const fakes::TempFolder &folder, const std::string &arguments, const std::string &environment = {})
{
    const auto out = folder.path() / "stdout.txt";
    const auto err = folder.path() / "stderr.txt";
    const std::string command = "cd '" + folder.path().string() + "' && " + environment + " '" PRIZELIST_PATH "' " +
                                arguments + " >'" + out.string() + "' 2>'" + err.string() + "'";
    const int raw = std::system(command.c_str());
    Outcome run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

void copySample(const fakes::TempFolder &folder)
{
    std::filesystem::copy(kSample, folder.path(), std::filesystem::copy_options::recursive);
}
} // namespace

TEST(PrizelistCommand, ExportThenImportGivesBackTheSameBytes)
{
    fakes::TempFolder folder;
    copySample(folder);
    const Outcome exported = prizelist(folder, "export data.ini -o list.csv");
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.err, ""); // the bundled list has nothing to warn about
    const Outcome imported = prizelist(folder, "import list.csv -o copy.ini");
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(slurp(folder.path() / "copy.ini"), slurp(kSample / "data.ini"));
    EXPECT_EQ(prizelist(folder, "export data.ini").out, slurp(folder.path() / "list.csv"));
}

TEST(PrizelistCommand, RefusesBrokenCsvAndLeavesTheListAsItWas)
{
    fakes::TempFolder folder;
    const std::string list = fakes::record("100", "255", "kept", "1");
    folder.write("data.ini", list);
    folder.write("bad.csv", "weight,color,name,amount\r\n1,2,x,3\r\n1,2\r\n");
    const Outcome run = prizelist(folder, "import bad.csv -o data.ini");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("bad.csv: line 3, spreadsheet row 3: 2 fields, but the header has 4"), std::string::npos)
        << run.err;
    EXPECT_EQ(slurp(folder.path() / "data.ini"), list);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "data.ini.bak"));

    // Weights a spreadsheet wrote as text would leave only empty cards.
    folder.write("text.csv", "weight,color,name,amount\r\ntwenty,255,x,3\r\n");
    const Outcome undrawn = prizelist(folder, "import text.csv -o data.ini");
    EXPECT_EQ(undrawn.status, 2);
    EXPECT_NE(undrawn.err.find("no prize has a weight above 0"), std::string::npos) << undrawn.err;
    EXPECT_EQ(slurp(folder.path() / "data.ini"), list);

    const Outcome missing = prizelist(folder, "import nofile.csv -o data.ini");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("cannot open nofile.csv: " + std::string(std::strerror(ENOENT))), std::string::npos)
        << missing.err;

    EXPECT_EQ(prizelist(folder, "import bad.csv").status, 2);   // no -o
    EXPECT_EQ(prizelist(folder, "shuffle data.ini").status, 2); // no such command
}

TEST(PrizelistCommand, SaysWhyASaveFailedInChineseWithTheSystemsOwnWords)
{
    if (std::setlocale(LC_MESSAGES, "zh_CN.UTF-8") == nullptr)
        GTEST_SKIP() << "this system has no zh_CN.UTF-8 locale";
    std::setlocale(LC_MESSAGES, "C");
    fakes::TempFolder folder;
    folder.write("list.csv", "weight,color,name,amount\r\n100,255,a,1\r\n");
    const Outcome run = prizelist(folder, "import list.csv -o missing/data.ini", "LC_ALL=zh_CN.UTF-8");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("：没有那个文件或目录；没有写入任何内容"), std::string::npos) << run.err;
}

TEST(PrizelistCommand, ImportsCsvThatASpreadsheetSavedInGbkAndSaysSo)
{
    fakes::TempFolder folder;
    folder.write("gbk.csv", "weight,color,name,amount\r\n100,255," + kLollipop + ",5\r\n");
    const Outcome run = prizelist(folder, "import gbk.csv -o data.ini");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("read gbk.csv as GBK"), std::string::npos) << run.err;
    EXPECT_EQ(slurp(folder.path() / "data.ini"), fakes::record("100", "255", kLollipop, "5"));
}

TEST(PrizelistCommand, NumbersPrizesFromOneAndGivesTheirSpreadsheetRows)
{
    fakes::TempFolder folder;
    // As Excel saves it: a sep= line (no row of its own), then a blank row.
    folder.write("list.csv", "sep=,\r\nweight,color,name,amount\r\n\r\n100,255,a,1\r\n0,255,b,1\r\n");
    const Outcome run = prizelist(folder, "import list.csv -o data.ini");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("warning: prize 2 \"b\" (spreadsheet row 4): weight 0: never drawn"), std::string::npos)
        << run.err;
}

TEST(PrizelistCommand, ShowsBothReadingsOfACloseCallAndTakesTheOneAskedFor)
{
    fakes::TempFolder folder;
    folder.write("list.csv", "weight,color,name,amount\r\n100,255,Caf\xC3\xA9,1\r\n"); // Café, or "Caf茅" in GBK
    const Outcome guessed = prizelist(folder, "import list.csv -o data.ini");
    ASSERT_EQ(guessed.status, 0) << guessed.err;
    EXPECT_NE(guessed.err.find("\"Café\""), std::string::npos) << guessed.err;
    EXPECT_NE(guessed.err.find("\"Caf茅\""), std::string::npos) << guessed.err;
    EXPECT_NE(guessed.err.find("import again with --from"), std::string::npos) << guessed.err;

    const Outcome chosen = prizelist(folder, "import list.csv -o data.ini --from utf8");
    ASSERT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_NE(chosen.err.find("read list.csv as UTF-8"), std::string::npos) << chosen.err;
    EXPECT_EQ(chosen.err.find("import again"), std::string::npos) << chosen.err;
    EXPECT_EQ(slurp(folder.path() / "data.ini"), fakes::record("100", "255", "Caf\xA8\xA6", "1")); // é in GBK
}

TEST(PrizelistCommand, EncodeMendsAListSavedAsUtf8WithoutTheMark)
{
    fakes::TempFolder folder;
    folder.write("data.ini", fakes::record("60", "255", "荧光棒", "10") + fakes::record("40", "0", "棒棒糖", "5"));
    folder.addPicture(kGlowStick);
    const Outcome garbled = prizelist(folder, "export data.ini --strict");
    EXPECT_EQ(garbled.status, 1);
    EXPECT_NE(garbled.err.find("looks like UTF-8 without a byte-order mark"), std::string::npos) << garbled.err;

    const Outcome mended = prizelist(folder, "encode data.ini --from utf8 --to gbk");
    ASSERT_EQ(mended.status, 0) << mended.err;
    EXPECT_EQ(slurp(folder.path() / "data.ini"),
              fakes::record("60", "255", kGlowStick, "10") + fakes::record("40", "0", kLollipop, "5"));
    EXPECT_NE(mended.err.find("picture/棒棒糖.jpg\" is missing"), std::string::npos)
        << mended.err; // only 棒棒糖's is missing
    EXPECT_EQ(mended.err.find("UTF-8"), std::string::npos) << mended.err;

    const Outcome marked = prizelist(folder, "encode data.ini --to utf8-bom -o marked.ini");
    ASSERT_EQ(marked.status, 0) << marked.err;
    EXPECT_EQ(slurp(folder.path() / "marked.ini"),
              "\xEF\xBB\xBF" + fakes::record("60", "255", "荧光棒", "10") + fakes::record("40", "0", "棒棒糖", "5"));
}
