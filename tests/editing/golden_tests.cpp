// One script of edits through the editing core, saved and saved again
// elsewhere, held to files committed beside this test: the Linux build and
// the Windows build under wine must write the very same bytes.
// PRIZEEDIT_GOLDEN_UPDATE=1 writes what this build made over them instead.
#include "bundled_list.h"
#include "editor_session.h"
#include "fake_editor_view.h"
#include "slurp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fmt/format.h>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using editing::PrizeTable;

const fs::path kGolden = GOLDEN_DIR;
const fs::path kToolsData = TOOLS_DATA_DIR;

std::string utf8(const fs::path &path)
{
    const std::u8string text = path.generic_u8string();
    return {text.begin(), text.end()};
}

// Every file under folder, sorted by its UTF-8 name: name, size and a
// 64-bit FNV-1a hash of its bytes, one a line.
std::string manifestOf(const fs::path &folder)
{
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto &entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files.emplace_back(utf8(fs::relative(entry.path(), folder)), slurp(entry.path()));
    std::sort(files.begin(), files.end());
    std::string manifest;
    for (const auto &[name, bytes] : files) {
        std::uint64_t hash = 14695981039346656037ull;
        for (const unsigned char byte : bytes)
            hash = (hash ^ byte) * 1099511628211ull;
        manifest += fmt::format("{} {} {:016x}\n", name, bytes.size(), hash);
    }
    return manifest;
}

// Compares bytes with the golden file, or replaces it when asked to.
void expectGolden(const std::string &actual, const char *name)
{
    const fs::path golden = kGolden / name;
    if (const char *update = std::getenv("PRIZEEDIT_GOLDEN_UPDATE"); update && *update == '1') {
        std::ofstream(golden, std::ios::binary) << actual;
        return;
    }
    EXPECT_EQ(actual, slurp(golden)) << "differs from " << utf8(golden);
}

std::vector<std::string> names(const PrizeTable &table)
{
    std::vector<std::string> out;
    for (int row = 0; row < table.rowCount(); ++row)
        out.push_back(table.cellText(row, PrizeTable::Name));
    return out;
}

TEST(Golden, AScriptOfEditsSavesTheSameBytesOnEveryPlatform)
{
    fakes::BundledList list(fs::path(u8"年会 奖品") / u8"第 1 轮");
    const fs::path red = list.folder.write(fs::path(u8"素材 图片") / u8"红色 伞.jpg", slurp(kToolsData / "red.jpg"));
    fakes::FakeEditorView view;
    editing::EditorSession session(view, view.judge, nullptr);
    session.stateFolder = list.folder.path() / "state";
    PrizeTable &table = session.table();
    editing::UndoStack &undo = session.undo();
    ASSERT_TRUE(session.openList(list.dataIni));

    // Each cell as typed.
    EXPECT_TRUE(table.setCell(0, PrizeTable::Name, "荧光棒 Pro")); // its picture follows at Save
    EXPECT_TRUE(table.setCell(1, PrizeTable::Weight, "18.5"));
    EXPECT_TRUE(table.setCell(2, PrizeTable::Color, "#1E90FF"));
    EXPECT_TRUE(table.setCell(3, PrizeTable::Amount, "3"));
    EXPECT_TRUE(table.setCell(4, PrizeTable::Note, "限量 款"));

    // Rows added, copied, removed and moved.
    table.addPrize(8);
    EXPECT_TRUE(table.setCell(8, PrizeTable::Name, "风筝"));
    table.duplicatePrizes({5});                                   // 电影票 twice
    EXPECT_TRUE(table.setCell(6, PrizeTable::Name, "电影票 VIP")); // a picture copied, the other keeps its own
    table.removePrizes({7});                                      // 智能手表; its file stays
    table.movePrizes({2}, -1);
    table.movePrizesBefore({0, 4}, 7);
    EXPECT_EQ(table.pasteRows("6\t#00FF00\t雨伞\t2\t\r\n3\t255\t抱枕 大号\t1\t周末 加送\r\n", 2),
              (std::vector<int>{2, 3}));

    // A JPEG chosen from a folder of its own, then its prize renamed before Save.
    view.filesToOpen = {red};
    session.choosePicture(2);
    EXPECT_TRUE(table.setCell(2, PrizeTable::Name, "折叠 雨伞"));

    session.scaleWeightsTo100({});
    const auto scaled = table.document().bytes();
    undo.undo();
    undo.undo(); // the rename: the picture goes back to 雨伞
    EXPECT_EQ(table.pictures().picture("折叠 雨伞"), nullptr);
    undo.redo();
    undo.redo();
    EXPECT_EQ(table.document().bytes(), scaled);
    EXPECT_EQ(names(table), (std::vector<std::string>{"玩具熊", "棒棒糖", "折叠 雨伞", "抱枕 大号", "保温杯", "电影票",
                                                      "电影票 VIP", "荧光棒 Pro", "蓝牙耳机", "金条", "风筝"}));

    ASSERT_TRUE(session.saveList()) << (view.failures.empty() ? "" : view.failures.front());
    EXPECT_FALSE(session.modified());
    expectGolden(slurp(list.dataIni), "saved.data.ini");
    expectGolden(manifestOf(list.dir), "saved.manifest");

    // Another rename of a prize with a picture, then Save As into a folder to be made.
    EXPECT_TRUE(table.setCell(0, PrizeTable::Name, "玩具熊 大"));
    const fs::path elsewhere = list.folder.path() / u8"另存 为" / u8"新 名单" / "data.ini";
    view.confirmations = {true}; // make the folder
    ASSERT_TRUE(session.saveListAs(elsewhere, authoring::Encoding::Gbk))
        << (view.failures.empty() ? "" : view.failures.front());
    EXPECT_EQ(session.file(), elsewhere);
    expectGolden(slurp(elsewhere), "saved-as.data.ini");
    expectGolden(manifestOf(elsewhere.parent_path()), "saved-as.manifest");
    EXPECT_EQ(manifestOf(list.dir), slurp(kGolden / "saved.manifest")) << "Save As leaves the first folder alone";
}

} // namespace
