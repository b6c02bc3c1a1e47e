// The list-and-pictures save as one transaction: every file-system call of a
// save fails in turn, and the program stops at each in turn; the folder is
// checked against the old and the new state after the failure, after the
// next open and after a retried save. PRIZEDRAW_FAULT_SEED picks the bytes,
// PRIZEDRAW_FAULT_STEPS ("5-9", or "7") the calls to try.
#include "authoring_fixtures.h"
#include "faulty_file_system.h"
#include "list_save.h"
#include "picture_loader.h"
#include "picture_plan.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace testing_authoring;
using authoring::Field;
using authoring::ListError;
using authoring::PictureBytes;
using authoring::PrizeDocument;
using fakes::FaultyFileSystem;
namespace fs = std::filesystem;

namespace {

using Files = std::map<std::string, std::string>; // UTF-8 path in the folder -> bytes

std::string u8(const fs::path &path)
{
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

// The files the game and the user see, and the save's leftovers apart.
struct FolderState {
    Files files;
    std::vector<std::string> leftovers;
};

FolderState stateOf(const fs::path &folder)
{
    FolderState state;
    for (const auto &entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        if (authoring::isSaveLeftover(entry.path()))
            state.leftovers.push_back(u8(fs::relative(entry.path(), folder)));
        else
            state.files[u8(fs::relative(entry.path(), folder))] = slurp(entry.path());
    }
    return state;
}

std::string describe(const Files &files)
{
    std::string text;
    for (const auto &[name, bytes] : files)
        text += " " + name + "(" + std::to_string(bytes.size()) + ")";
    return text;
}

unsigned seedFromEnvironment()
{
    const char *seed = std::getenv("PRIZEDRAW_FAULT_SEED");
    return seed ? static_cast<unsigned>(std::strtoul(seed, nullptr, 10)) : 29u;
}

// The calls to try: PRIZEDRAW_FAULT_STEPS, else all of them.
std::pair<int, int> stepRange(int calls)
{
    const char *steps = std::getenv("PRIZEDRAW_FAULT_STEPS");
    if (!steps || !*steps)
        return {1, calls};
    char *end = nullptr;
    const int first = static_cast<int>(std::strtol(steps, &end, 10));
    const int last = *end == '-' ? static_cast<int>(std::strtol(end + 1, nullptr, 10)) : first;
    return {std::max(first, 1), std::min(last, calls)};
}

PictureBytes bytes(std::string text) { return std::make_shared<const std::string>(std::move(text)); }

// A list whose save renames a prize, adds a picture, removes one, replaces
// one, and renames one of two prizes that share a picture.
struct Scenario {
    fakes::TempFolder folder;
    fs::path dataIni = folder.path() / "data.ini";
    std::string oldList, newList;
    std::map<std::string, PictureBytes> changes;
    Files before, after;

    explicit Scenario(unsigned seed)
    {
        std::mt19937 random(seed);
        const auto photo = [&](const char *what) {
            return std::string(what) + std::string(1 + random() % 300, static_cast<char>('a' + random() % 26));
        };
        PrizeDocument document;
        document.setEncoding(authoring::Encoding::Utf8);
        const char *names[] = {"风筝", "荧光棒", "棒棒糖", "水杯", "水杯"};
        for (int prize = 0; prize < 5; ++prize)
            document.insert(prize, {"20", "65535", names[prize], std::to_string(prize + 1), ""});
        oldList = document.bytes();
        const std::string kite = photo("kite"), glow = photo("glow"), candy = photo("candy"), cup = photo("cup");
        before = {{"data.ini", oldList},         {"data.ini.bak", "the backup of an earlier save"},
                  {"picture/风筝.jpg", kite},    {"picture/荧光棒.jpg", glow},
                  {"picture/棒棒糖.jpg", candy}, {"picture/水杯.jpg", cup}};
        for (const auto &[name, bytes] : before)
            folder.write(catalogue::utf8Path(name), bytes);

        document.setText(0, Field::Name, "大风筝"); // renamed: its picture moves
        document.remove(2);                         // 棒棒糖 and its picture go
        document.setText(3, Field::Name, "保温杯"); // one of the two 水杯: the picture is copied
        document.insert(4, {"20", "255", "气球", "9", ""});
        newList = document.bytes();
        const std::string balloon = photo("balloon"), newGlow = photo("new glow");
        changes = {{"风筝", nullptr},      {"大风筝", bytes(kite)},  {"棒棒糖", nullptr},
                   {"保温杯", bytes(cup)}, {"气球", bytes(balloon)}, {"荧光棒", bytes(newGlow)}};
        after = {{"data.ini", newList},           {"data.ini.bak", oldList}, {"picture/大风筝.jpg", kite},
                 {"picture/荧光棒.jpg", newGlow}, {"picture/水杯.jpg", cup}, {"picture/保温杯.jpg", cup},
                 {"picture/气球.jpg", balloon}};
    }

    std::string save(authoring::FileSystem &files) const
    {
        return authoring::saveListFiles(dataIni, newList, changes, authoring::Backup::Keep, files);
    }

    // The folder holds exactly the old or the new state and nothing else.
    void expectOldOrNew(const std::string &when) const
    {
        const FolderState state = stateOf(folder.path());
        EXPECT_TRUE(state.files == before || state.files == after) << when << ":" << describe(state.files);
        EXPECT_TRUE(state.leftovers.empty()) << when << ": " << state.leftovers.front();
    }

    // What the game would show: every prize of the list on disk has its picture.
    void expectEveryPrizeHasItsPicture(const std::string &when) const
    {
        const FolderState state = stateOf(folder.path());
        const std::string list = state.files.count("data.ini") ? state.files.at("data.ini") : "";
        ASSERT_TRUE(list == oldList || list == newList) << when;
        const Files &wanted = list == oldList ? before : after;
        for (const auto &[name, bytes] : wanted) {
            if (name.starts_with("picture/")) {
                EXPECT_TRUE(state.files.count(name)) << when << ": no " << name;
            }
        }
    }

    // The next open finishes or undoes, then a retried save goes through.
    void expectNextOpenAndRetry(const std::string &when) const
    {
        authoring::finishInterruptedSave(dataIni);
        expectOldOrNew(when + ", after the next open");
        FaultyFileSystem disk;
        EXPECT_NO_THROW(save(disk)) << when;
        FolderState state = stateOf(folder.path());
        // A retry after a save that went through keeps that save's list as the backup.
        if (state.files["data.ini.bak"] == newList)
            state.files["data.ini.bak"] = oldList;
        EXPECT_TRUE(state.files == after) << when << ", after a retried save:" << describe(state.files);
        EXPECT_TRUE(state.leftovers.empty()) << when;
    }
};

int callsOfASave()
{
    Scenario scenario(seedFromEnvironment());
    FaultyFileSystem counting;
    scenario.save(counting);
    EXPECT_TRUE(stateOf(scenario.folder.path()).files == scenario.after);
    return counting.calls();
}

} // namespace

TEST(ListSave, EveryCallThatFailsLeavesTheOldOrTheNewFolderAndAMessageThatSaysWhich)
{
    const int calls = callsOfASave();
    const auto [first, last] = stepRange(calls);
    std::cout << "a save takes " << calls << " calls; failing calls " << first << " to " << last << "\n";
    for (int at = first; at <= last; ++at) {
        Scenario scenario(seedFromEnvironment() + at);
        const std::string when = "call " + std::to_string(at) + " failing";
        FaultyFileSystem failing(FaultyFileSystem::Fault::Fail, at);
        std::string message;
        bool saved = false;
        try {
            message = scenario.save(failing); // a failure once the list is in place is a note
            saved = true;
        } catch (const ListError &error) {
            message = error.what();
        }
        const FolderState state = stateOf(scenario.folder.path());
        EXPECT_NE(message.find(failing.names()[at - 1]), std::string::npos) << when << ": " << message;
        if (state.files == scenario.before) {
            EXPECT_FALSE(saved) << when;
            EXPECT_NE(message.find("as they were"), std::string::npos) << when << ": " << message;
            EXPECT_TRUE(state.leftovers.empty()) << when << ": " << state.leftovers.front();
        } else {
            Files files = state.files;
            if (message.find("data.ini.bak") != std::string::npos) // the one call that makes the backup
                files["data.ini.bak"] = scenario.oldList;
            EXPECT_TRUE(files == scenario.after) << when << ":" << describe(state.files);
            EXPECT_TRUE(saved) << when;
            EXPECT_NE(message.find("was saved"), std::string::npos) << when << ": " << message;
        }
        scenario.expectNextOpenAndRetry(when);
    }
}

TEST(ListSave, AStopAtAnyCallIsFinishedOrUndoneByTheNextOpen)
{
    const int calls = callsOfASave();
    const auto [first, last] = stepRange(calls);
    for (int at = first; at <= last; ++at) {
        Scenario scenario(seedFromEnvironment() + at);
        const std::string when = "a stop at call " + std::to_string(at);
        FaultyFileSystem stopping(FaultyFileSystem::Fault::Crash, at);
        EXPECT_THROW(scenario.save(stopping), fakes::Crash) << when;
        scenario.expectEveryPrizeHasItsPicture(when);
        scenario.expectNextOpenAndRetry(when);
    }
}

#ifndef _WIN32
TEST(ListSave, AProcessKilledAtAnyCallLeavesAFolderTheNextOpenSetsRight)
{
    const int calls = callsOfASave();
    const auto [first, last] = stepRange(calls);
    for (int at = first; at <= last; ++at) {
        Scenario scenario(seedFromEnvironment() + at);
        const std::string when = "killed at call " + std::to_string(at);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            FaultyFileSystem dying(FaultyFileSystem::Fault::Crash, at, [] { _exit(0); });
            try {
                scenario.save(dying);
            } catch (...) {
            }
            _exit(1); // the save did not reach the call
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << when;
        scenario.expectEveryPrizeHasItsPicture(when);
        scenario.expectNextOpenAndRetry(when);
    }
}
#endif

TEST(ListSave, AFailedSaveOfANewListInANewFolderLeavesNothingBehind)
{
    fakes::TempFolder folder;
    const fs::path dataIni = folder.path() / "data.ini";
    const std::map<std::string, PictureBytes> pictures = {{"风筝", bytes("kite")}};
    FaultyFileSystem counting;
    authoring::saveListFiles(dataIni, "list", pictures, authoring::Backup::Keep, counting);
    const int calls = counting.calls();
    std::cout << "a first save into a new folder takes " << calls << " calls\n";
    for (int at = 1; at <= calls; ++at) {
        fakes::TempFolder empty;
        FaultyFileSystem failing(FaultyFileSystem::Fault::Fail, at);
        try {
            authoring::saveListFiles(empty.path() / "data.ini", "list", pictures, authoring::Backup::Keep, failing);
        } catch (const ListError &) {
        }
        const FolderState state = stateOf(empty.path());
        if (!state.files.empty())
            EXPECT_TRUE(state.files == (Files{{"data.ini", "list"}, {"picture/风筝.jpg", "kite"}})) << at;
        else
            EXPECT_FALSE(fs::exists(empty.path() / "picture")) << "call " << at;
        authoring::finishInterruptedSave(empty.path() / "data.ini");
        EXPECT_TRUE(stateOf(empty.path()).leftovers.empty()) << "call " << at;
    }
}

TEST(PicturePlan, ReadsTheSavedPictureOfAChineseNameFromItsOwnFile)
{
    fakes::TempFolder folder;
    folder.write(fs::path("picture") / catalogue::utf8Path("风筝.jpg"), "kite");
    authoring::PicturePlan plan;
    plan.setFolder(folder.path() / "picture");
    const PictureBytes kite = plan.picture("风筝");
    ASSERT_NE(kite, nullptr) << "the name read as a narrow path opens another file on Windows";
    EXPECT_EQ(*kite, "kite");
}
