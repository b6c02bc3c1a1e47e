// Random edits, undos, redos, saves (some failing half-way) and discards on a
// list with pictures, each step checked against a plain model of what the
// list and the picture folder must hold. PRIZEEDIT_PROPERTY_SEED and
// PRIZEEDIT_PROPERTY_STEPS run it longer.
#include "fakes.h"
#include "fake_editor_view.h"
#include "faulty_file_system.h"
#include "picture_loader.h"
#include "prize_table.h"

#include "slurp.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using authoring::Field;
using authoring::Texts;
using editing::PrizeTable;

const fs::path kSample = SAMPLE_DIR;
const fs::path kToolsData = TOOLS_DATA_DIR;

unsigned long environmentNumber(const char *name, unsigned long otherwise)
{
    const char *text = std::getenv(name);
    return text && *text ? std::stoul(text) : otherwise;
}

// The list and its picture folder as the user must find them.
struct ListState {
    std::vector<Texts> prizes;
    std::map<std::string, std::string> pictures; // by prize name

    bool operator==(const ListState &) const = default;
};

// What the editor stands for: a line of states with the undo position, and
// what was last saved.
struct Reference {
    std::vector<ListState> history;
    std::size_t at = 0;
    ListState saved;

    const ListState &now() const { return history[at]; }
    void edit(ListState next)
    {
        history.resize(at + 1);
        history.push_back(std::move(next));
        ++at;
    }
    void rename(std::size_t row, const std::string &name)
    {
        ListState next = now();
        const std::string old = next.prizes[row][int(Field::Name)];
        if (old == name)
            return;
        if (catalogue::isSafePictureName(name) && next.pictures.count(old)) {
            next.pictures[name] = next.pictures[old];
            bool shared = false;
            for (std::size_t other = 0; other < next.prizes.size(); ++other)
                shared = shared || (other != row && next.prizes[other][int(Field::Name)] == old);
            if (!shared)
                next.pictures.erase(old);
        }
        next.prizes[row][int(Field::Name)] = name;
        edit(std::move(next));
    }
};

ListState onDisk(const fs::path &folder)
{
    ListState state;
    const auto document = authoring::PrizeDocument::open(folder / "data.ini");
    for (int prize = 0; prize < document.size(); ++prize)
        state.prizes.push_back(document.texts(prize));
    for (const auto &entry : fs::directory_iterator(folder / "picture")) {
        if (authoring::isSaveLeftover(entry.path())) // after a save whose clean-up failed, until the next
            continue;
        const std::string file = entry.path().filename().string();
        state.pictures[file.size() > 4 && file.ends_with(".jpg") ? file.substr(0, file.size() - 4) : file] =
            slurp(entry.path());
    }
    return state;
}

ListState inEditor(const PrizeTable &model, const std::vector<std::string> &names)
{
    ListState state;
    for (int prize = 0; prize < model.document().size(); ++prize)
        state.prizes.push_back(model.document().texts(prize));
    for (const std::string &name : names)
        if (const auto picture = model.pictures().picture(name))
            state.pictures[name] = *picture;
    return state;
}

TEST(EditorProperty, EditsUndosSavesAndDiscardsKeepTheListAndItsPicturesAsAPlainModelSays)
{
    const auto seed = environmentNumber("PRIZEEDIT_PROPERTY_SEED", 20261208);
    const auto steps = environmentNumber("PRIZEEDIT_PROPERTY_STEPS", 400);
    std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
    const auto pick = [&](int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); };

    fakes::TempFolder folder;
    const fs::path dataIni = folder.path() / "data.ini";
    fs::copy(kSample / "data.ini", dataIni);
    fs::copy(kSample / "picture", folder.path() / "picture");

    editing::UndoStack undo;
    PrizeTable model(undo);
    model.confirm = [](const std::string &) { return true; };
    fakes::SignatureDecoder decoder;
    model.jpegOf = [&](const fs::path &source) {
        decoder.judge(source);
        return slurp(source);
    };
    const auto open = [&] {
        model.resetDocument(authoring::PrizeDocument::open(dataIni));
        model.resetPictureFolder(folder.path() / "picture");
    };
    open();

    Reference reference;
    reference.saved = onDisk(folder.path());
    reference.history = {reference.saved};
    std::vector<std::string> names{"A", "B", "a/b", "New prize"}; // every name a prize may take
    for (const Texts &prize : reference.saved.prizes)
        names.push_back(prize[int(Field::Name)]);
    const std::vector<fs::path> sources{kToolsData / "red.jpg", kSample / "picture" / u8"金条.jpg"};
    int failedSaves = 0;
    int savedChanges = 0;
    std::string log;

    for (unsigned long step = 0; step < steps; ++step) {
        const int rows = model.rowCount();
        const int row = rows > 0 ? pick(rows) : 0;
        const auto current = reference.now();
        switch (pick(rows > 0 ? 12 : 5)) { // an empty list can only be added to
        case 0:                            // undo
            log += " undo";
            if (undo.canUndo()) {
                undo.undo();
                --reference.at;
            }
            break;
        case 1: // redo
            log += " redo";
            if (undo.canRedo()) {
                undo.redo();
                ++reference.at;
            }
            break;
        case 2: { // save, failing at a random call or not at all
            const int failAt = pick(24);
            log += " save" + std::to_string(failAt);
            fakes::FaultyFileSystem files(
                failAt == 0 ? fakes::FaultyFileSystem::Fault::None : fakes::FaultyFileSystem::Fault::Fail, failAt);
            bool failed = false;
            try {
                model.save(dataIni, files);
            } catch (const authoring::ListError &) {
                failed = true;
            }
            // A failure of the clean-up after the list is in place is a saved list with a note.
            ASSERT_TRUE(!failed || files.calls() >= failAt) << "seed " << seed << ":" << log;
            if (failed)
                ++failedSaves;
            else {
                reference.saved = current;
                savedChanges += files.calls();
            }
            break;
        }
        case 3: { // discard, as opening the saved list again
            log += " discard";
            open();
            reference.history = {reference.saved};
            reference.at = 0;
            break;
        }
        case 4: { // add
            const int at = pick(rows + 1);
            log += " add" + std::to_string(at);
            model.addPrize(at);
            ListState next = current;
            next.prizes.insert(next.prizes.begin() + at, Texts{"1", "65535", "New prize", "1", ""});
            reference.edit(std::move(next));
            break;
        }
        case 5: { // weight
            const std::string weight = std::to_string(pick(30));
            log += " weight" + std::to_string(row) + "=" + weight;
            model.setText(row, Field::Weight, weight);
            if (current.prizes[std::size_t(row)][int(Field::Weight)] != weight) {
                ListState next = current;
                next.prizes[std::size_t(row)][int(Field::Weight)] = weight;
                reference.edit(std::move(next));
            }
            break;
        }
        case 6:
        case 7: { // rename, often onto a name in use
            const std::string &name = names[std::size_t(pick(int(names.size())))];
            log += " rename" + std::to_string(row) + "=" + name;
            model.setText(row, Field::Name, name);
            reference.rename(std::size_t(row), name);
            break;
        }
        case 8: { // a picture chosen
            const fs::path &source = sources[std::size_t(pick(int(sources.size())))];
            const std::string name = current.prizes[std::size_t(row)][int(Field::Name)];
            log += " picture" + std::to_string(row);
            if (!catalogue::isSafePictureName(name)) {
                EXPECT_THROW(model.setPicture(row, source), authoring::ListError);
                break;
            }
            model.setPicture(row, source);
            ListState next = current;
            next.pictures[name] = slurp(source);
            reference.edit(std::move(next));
            break;
        }
        case 9: { // duplicate
            log += " duplicate" + std::to_string(row);
            model.duplicatePrizes({row});
            ListState next = current;
            next.prizes.insert(next.prizes.begin() + row + 1, next.prizes[std::size_t(row)]);
            reference.edit(std::move(next));
            break;
        }
        case 10: { // remove; its picture stays in the folder
            log += " remove" + std::to_string(row);
            model.removePrizes({row});
            ListState next = current;
            next.prizes.erase(next.prizes.begin() + row);
            reference.edit(std::move(next));
            break;
        }
        default: { // drag one row before another
            const int before = pick(rows + 1);
            log += " move" + std::to_string(row) + "<" + std::to_string(before);
            model.movePrizesBefore({row}, before);
            const int to = row < before ? before - 1 : before;
            if (to != row) {
                ListState next = current;
                const Texts moved = next.prizes[std::size_t(row)];
                next.prizes.erase(next.prizes.begin() + row);
                next.prizes.insert(next.prizes.begin() + to, moved);
                reference.edit(std::move(next));
            }
            break;
        }
        }
        ASSERT_EQ(inEditor(model, names), reference.now()) << "seed " << seed << ", step " << step << ":" << log;
        ASSERT_EQ(onDisk(folder.path()), reference.saved) << "seed " << seed << ", step " << step << ":" << log;
    }
    EXPECT_GT(failedSaves, 0);
    EXPECT_GT(savedChanges, 0);
}

} // namespace
