// The prizeodds program as a user runs it: exit status, messages, files.
#include "list_folder.h"

#include "slurp.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <sys/wait.h>

using namespace testing_odds;

namespace {
struct Run {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs prizeodds in folder with the arguments, given already quoted for the
// shell, and any environment variables as NAME=value before them.
Run prizeodds(const fakes::TempFolder &folder, const std::string &arguments, const std::string &environment = {})
{
    const auto out = folder.path() / "stdout.txt";
    const auto err = folder.path() / "stderr.txt";
    const std::string command = "cd '" + folder.path().string() + "' && " + environment + " '" PRIZEODDS_PATH "' " +
                                arguments + " >'" + out.string() + "' 2>'" + err.string() + "'";
    const int raw = std::system(command.c_str());
    Run run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = slurp(out);
    run.err = slurp(err);
    return run;
}
} // namespace

TEST(PrizeoddsCommand, ExitsZeroWhenReadAndOneOnWarningsOnlyWhenStrict)
{
    ListFolder list;
    list.write(weights({"60", "40"}) + fakes::record("0", "255", "p2", "1"));
    list.picture("p0");
    list.picture("p1");
    auto run = prizeodds(list.folder, ""); // data.ini in the current folder
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("60.0000%"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("prize 3 \"p2\": weight 0: never drawn"), std::string::npos) << run.out;
    EXPECT_EQ(prizeodds(list.folder, "--strict data.ini").status, 1);

    list.write(weights({"60", "40"}));
    EXPECT_EQ(prizeodds(list.folder, "--strict data.ini").status, 0);
}

TEST(PrizeoddsCommand, ExitsTwoWithTheRunTimeErrorWhenTheListCannotBeRead)
{
    fakes::TempFolder folder;
    auto run = prizeodds(folder, "missing.ini");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("run-time error 53: File not found"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());

    folder.write("short.ini", "50\r\n255\r\n");
    run = prizeodds(folder, "short.ini");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("run-time error 62: Input past end of file"), std::string::npos) << run.err;
}

TEST(PrizeoddsCommand, ExitsTwoOnWrongArguments)
{
    ListFolder list;
    list.write(weights({"100"}));
    for (const char *arguments : {"--simulate abc", "--simulate -5", "--simulate 0", "--spins 1e3", "--seed 4294967296",
                                  "--no-such-option", "data.ini other.ini"}) {
        const auto run = prizeodds(list.folder, arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_FALSE(run.err.empty()) << arguments;
    }
    // The parser's own errors are worded with the option as typed.
    EXPECT_NE(prizeodds(list.folder, "--no-such-option").err.find("there is no option --no-such-option"),
              std::string::npos);
    EXPECT_NE(prizeodds(list.folder, "--json=yes").err.find("\"yes\" is not a value that option takes"),
              std::string::npos);
    const auto help = prizeodds(list.folder, "--help");
    EXPECT_EQ(help.status, 0);
    for (const char *word : {"--simulate", "--spins", "--seed", "--json", "--html", "--strict", "Exit status"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
}

TEST(PrizeoddsCommand, WritesJsonAndTheHtmlSheet)
{
    ListFolder list;
    list.write(weights({"70", "30"}));
    const auto run = prizeodds(list.folder, "--json --simulate 1000 --spins 3 --quiet --html sheet.html data.ini");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["prizes"].size(), 2u);
    EXPECT_EQ(json["simulation"]["draws"], 1000);
    EXPECT_EQ(json["spins"]["spins"], 3);
    EXPECT_EQ(json["spins"]["seed"], 5489);
    const std::string html = slurp(list.folder.path() / "sheet.html");
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(html.find("70.0000%"), std::string::npos);

    EXPECT_EQ(prizeodds(list.folder, "--html no/such/folder/sheet.html").status, 2);
    EXPECT_EQ(prizeodds(list.folder, "--html ./data.ini data.ini").status, 2);
    EXPECT_EQ(slurp(list.dataIni()), weights({"70", "30"})); // the list is left alone
}

TEST(PrizeoddsCommand, JudgesPicturesWithTheGamesOwnDecoder)
{
    ListFolder list;
    list.write(fakes::record("40", "255", "whole", "1") + fakes::record("30", "255", "png", "1") +
               fakes::record("30", "255", "cut", "1"));
    list.picture("whole");
    list.picture("png", "blue.png");
    // The JPEG's start is intact, so only a decoder can tell that its image data is cut off.
    const std::string jpeg = slurp(kData / "red.jpg");
    list.folder.write("picture/cut.jpg", jpeg.substr(0, jpeg.size() / 2));

    const auto run = prizeodds(list.folder, "--json");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["prizes"][0]["picture"], "loaded");
    EXPECT_EQ(json["prizes"][1]["picture"], "loaded");
    EXPECT_EQ(json["prizes"][2]["picture"], "refused");
    EXPECT_EQ(json["prizes"][2]["pictureError"], "481 Invalid picture");
}

TEST(PrizeoddsCommand, SpeaksChineseUnderAChineseLocaleWithTheJsonCodesUnchanged)
{
    ListFolder list;
    list.write(weights({"60", "40"}) + fakes::record("0", "255", "p2", "1"));
    list.picture("p0");
    list.picture("p1");
    const auto run = prizeodds(list.folder, "", "LC_ALL= LC_MESSAGES=zh_CN.UTF-8 LANG=C");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("奖品 3“p2”：权重为 0：永远抽不到"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"picture/p2.jpg\""), std::string::npos) << run.out; // file paths as they are
    EXPECT_NE(run.out.find("60.0000%"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("weight"), std::string::npos) << run.out;

    const auto json = nlohmann::json::parse(prizeodds(list.folder, "--json", "LC_ALL=zh_CN.UTF-8").out);
    EXPECT_EQ(json["warnings"][0]["code"], "weight-zero");
    EXPECT_EQ(json["warnings"][0]["message"], "weight 0: never drawn");
    EXPECT_EQ(json["warnings"][1]["code"], "picture-missing");
    EXPECT_EQ(json["warnings"][1]["values"], nlohmann::json::array({"\"picture/p2.jpg\""}));

    const auto help = prizeodds(list.folder, "--help", "LC_ALL=zh_CN.UTF-8");
    EXPECT_NE(help.out.find("用法："), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("退出状态"), std::string::npos) << help.out;
    EXPECT_NE(prizeodds(list.folder, "missing.ini", "LC_ALL=zh_CN.UTF-8").err.find("运行时错误 53"), std::string::npos);
    EXPECT_NE(prizeodds(list.folder, "--html", "LC_ALL=zh_CN.UTF-8").err.find("--html 后面要跟一个值"),
              std::string::npos);
}
