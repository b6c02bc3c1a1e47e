// The session: files, recovery, import and export, Play, the check as shown.
#include "editor_session.h"

#include "atomic_file.h"
#include "game_folder.h"
#include "i18n.h"
#include "picture_folder.h"
#include "prize_csv.h"
#include "recovery.h"
#include "runtime_error.h"

#include <algorithm>
#include <fstream>
#include <utility>

namespace editing {

namespace fs = std::filesystem;
using authoring::Encoding;

namespace {
constexpr int kRecoveryDelayMs = 3000; // a burst of typing makes one copy
constexpr std::size_t kRecentLists = 8;

std::string shown(const fs::path &file)
{
    const std::u8string text = file.u8string();
    return {text.begin(), text.end()};
}

fs::path recentListsFile(const fs::path &stateFolder) { return stateFolder / "recent-lists.txt"; }
} // namespace

std::string EditorSession::programName() { return i18n::tr("Prize list editor"); }

EditorSession::EditorSession(EditorView &view, PictureDecoder &decoder, window::TextMeasure *measure)
    : view_(view), table_(undo_),
      check_(decoder, measure, [&view](std::function<void()> task) { view.post(std::move(task)); }),
      alive_(std::make_shared<EditorSession *>(this))
{
    table_.confirm = [this](const std::string &question) { return view_.confirm(question); };
    table_.jpegOf = [this](const fs::path &source) { return view_.jpegOf(source); };
    table_.editFailed = [this](const std::string &why) { view_.fail(i18n::tr("The change was not made."), why); };
    table_.editSaid = [this](const std::string &what) { view_.inform(what); };
    table_.listChanged = [this] {
        requestCheck();
        view_.startTimer(kRecoveryDelayMs, [this] { keepRecoveryCopy(); });
    };
    undo_.changed = [this] { view_.titleChanged(); };
    check_.checked = [this] { showCheck(); };
    requestCheck();
}

EditorSession::~EditorSession()
{
    alive_.reset();
    undo_.changed = [] {};
}

std::string EditorSession::listName() const { return file_ ? shown(file_->filename()) : i18n::tr("Untitled"); }

void EditorSession::setFile(std::optional<fs::path> file)
{
    file_ = std::move(file);
    view_.titleChanged();
}

std::string EditorSession::undoMenuText() const
{
    return undo_.canUndo() ? i18n::tr("&Undo {0}", undo_.undoText()) : i18n::tr("&Undo");
}

std::string EditorSession::redoMenuText() const
{
    return undo_.canRedo() ? i18n::tr("&Redo {0}", undo_.redoText()) : i18n::tr("&Redo");
}

// --- Files ---

void EditorSession::newList()
{
    if (!keepOrDropChanges())
        return;
    table_.resetDocument({});
    table_.resetPictureFolder(std::nullopt);
    setFile(std::nullopt);
}

bool EditorSession::openList(const fs::path &file, catalogue::PrizeListFile::Decoding decoding)
{
    try {
        // A save that a crash interrupted is finished or undone before the list is read.
        const std::string finished = authoring::finishInterruptedSave(file);
        if (!finished.empty())
            view_.inform(finished);
        authoring::PrizeDocument document = authoring::PrizeDocument::open(file, decoding);
        onDisk_ = authoring::diskVersionOf(file);
        table_.resetDocument(std::move(document));
        table_.resetPictureFolder(file.parent_path() / "picture");
        setFile(file);
        rememberRecent(file);
        view_.selectRows({0});
        offerRecovered();
        return true;
    } catch (const catalogue::RuntimeError &error) {
        view_.fail(i18n::tr("Could not open {0}.", shown(file)),
                   i18n::tr("Run-time error {0}: {1}", error.number(), odds::runTimeErrorText(error)));
    } catch (const std::exception &error) {
        view_.fail(i18n::tr("Could not open {0}.", shown(file)), error.what());
    }
    return false;
}

void EditorSession::reopenAsUtf8()
{
    if (!file_ || !keepOrDropChanges())
        return;
    try {
        // An edit like any other, so that the list shows as changed and
        // Save and Play write what the table now shows; undo reads it as before.
        table_.replaceAll(authoring::PrizeDocument::open(*file_, catalogue::PrizeListFile::Decoding::Utf8),
                          i18n::tr("Reopen as UTF-8"));
    } catch (const std::exception &error) {
        view_.fail(i18n::tr("Could not open {0}.", shown(*file_)), error.what());
    }
}

void EditorSession::openListAsked()
{
    if (!keepOrDropChanges())
        return;
    if (const auto file = view_.chooseFileToOpen(EditorView::FileKind::List))
        openList(*file);
}

bool EditorSession::saveList()
{
    if (!file_)
        return saveListAsAsked();
    return saveListAs(*file_, table_.document().encoding());
}

bool EditorSession::saveListAs(const fs::path &file, Encoding encoding)
{
    authoring::PrizeDocument &document = table_.documentToSave();
    const Encoding before = document.encoding();
    const auto refuse = [&](const std::exception &error) {
        document.setEncoding(before);
        view_.fail(i18n::tr("Could not save {0}; your changes are still here.", shown(file)), error.what());
        return false;
    };
    document.setEncoding(encoding);
    try {
        (void)document.bytes();
    } catch (const std::exception &error) {
        authoring::PrizeDocument asUtf8 = document;
        asUtf8.setEncoding(Encoding::Utf8);
        try {
            (void)asUtf8.bytes();
        } catch (const std::exception &) {
            return refuse(error); // not a matter of the encoding
        }
        if (encoding != Encoding::Gbk)
            return refuse(error);
        document.setEncoding(before);
        const auto answer =
            view_.choose(std::string(i18n::tr("The list cannot be saved in GBK, the game's own encoding.")) + "\n\n" +
                             error.what() + "\n\n" + i18n::tr("The game also reads UTF-8 behind a byte-order mark."),
                         {i18n::tr("Save as UTF-8")});
        return answer == 0u && saveListAs(file, Encoding::Utf8);
    }
    if (file_ && file == *file_ && authoring::diskVersionOf(file) != onDisk_) {
        document.setEncoding(before);
        const auto answer = view_.choose(i18n::tr("{0} was changed by another program after it was opened here. "
                                                  "Saving now replaces those changes with this list.",
                                                  shown(file)),
                                         {i18n::tr("Save Elsewhere…"), i18n::tr("Overwrite")});
        if (answer == 0u)
            return saveListAsAsked();
        if (answer != 1u)
            return false;
        document.setEncoding(encoding);
    }
    const fs::path folder = file.parent_path();
    std::error_code missing;
    if (!folder.empty() && !fs::exists(folder, missing) && !missing) { // one we may not look into fails the save
        if (!view_.confirm(
                i18n::tr("The folder {0} does not exist. Make it and save the list there?", shown(folder)))) {
            document.setEncoding(before);
            return false;
        }
        std::error_code error;
        fs::create_directories(folder, error);
        if (error)
            return refuse(authoring::ListError(
                i18n::tr("cannot make the folder {0}: {1}; nothing was written", shown(folder), error.message())));
    }
    std::string note;
    try {
        note = table_.save(file, authoring::diskFileSystem());
    } catch (const std::exception &error) {
        check_.folderWritten(); // pictures may have been written before the list failed
        return refuse(error);
    }
    check_.folderWritten();
    onDisk_ = authoring::diskVersionOf(file);
    if (!note.empty())
        view_.note(note);
    removeRecoveryCopy(); // of the list as it was named
    setFile(file);
    rememberRecent(file);
    removeRecoveryCopy();
    requestCheck(); // the pictures now come from the folder beside the file
    return true;
}

bool EditorSession::saveListAsAsked()
{
    // A new list goes to the documents folder, never where the last picture came from.
    const fs::path proposed = file_ ? *file_ : documentsFolder / "data.ini";
    const auto target = view_.chooseListToSave({proposed, table_.document().encoding()});
    return target && saveListAs(target->file, target->encoding);
}

void EditorSession::importCsv()
{
    if (const auto file = view_.chooseFileToOpen(EditorView::FileKind::Csv))
        importCsv(*file);
}

bool EditorSession::importCsv(const fs::path &file)
{
    try {
        authoring::CsvImport read = authoring::importCsv(authoring::readCsvFile(file));
        authoring::PrizeDocument imported = std::move(read.document);
        if (read.otherReading) {
            // Valid text both ways and both plausible: the user knows which names are right.
            const auto reading = [](authoring::CsvEncoding encoding, const authoring::PrizeDocument &document) {
                return i18n::tr("As {0}: {1}", authoring::describe(encoding), authoring::firstNames(document));
            };
            const auto answer =
                view_.choose(i18n::tr("{0} reads as text in two encodings. Which names are right?", shown(file)),
                             {reading(read.encoding, imported), reading(*read.otherEncoding, *read.otherReading)});
            if (!answer)
                return false;
            if (*answer == 1)
                imported = std::move(*read.otherReading);
        }
        imported.setEncoding(table_.document().encoding());
        table_.replaceAll(std::move(imported), i18n::tr("Import CSV"));
        return true;
    } catch (const std::exception &error) {
        view_.fail(i18n::tr("Could not import {0}; the list is as it was.", shown(file)), error.what());
        return false;
    }
}

void EditorSession::exportCsv()
{
    const fs::path proposed = (file_ ? file_->parent_path() : documentsFolder) / "prizes.csv";
    const auto file = view_.chooseCsvToSave(proposed);
    if (!file)
        return;
    try {
        authoring::replaceFile(*file, authoring::toCsv(table_.document()), authoring::Backup::None);
    } catch (const std::exception &error) {
        view_.fail(i18n::tr("Could not export {0}.", shown(*file)), error.what());
    }
}

bool EditorSession::keepOrDropChanges()
{
    if (!undo_.isClean()) {
        const auto answer = view_.askUnsaved(i18n::tr("The list has unsaved changes."));
        if (answer == EditorView::Unsaved::Cancel || (answer == EditorView::Unsaved::Save && !saveList()))
            return false;
    }
    removeRecoveryCopy(); // saved or let go
    return true;
}

std::vector<fs::path> EditorSession::recentLists() const
{
    std::vector<fs::path> lists;
    std::ifstream in(recentListsFile(stateFolder), std::ios::binary);
    std::string line;
    while (std::getline(in, line) && lists.size() < kRecentLists) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::error_code error;
        const fs::path file = catalogue::utf8Path(line);
        if (!line.empty() && fs::is_regular_file(file, error))
            lists.push_back(file);
    }
    return lists;
}

void EditorSession::openRecent(const fs::path &file)
{
    if (keepOrDropChanges())
        openList(file);
}

void EditorSession::rememberRecent(const fs::path &file)
{
    std::error_code error;
    const fs::path absolute = fs::absolute(file, error);
    if (error || stateFolder.empty())
        return;
    std::vector<fs::path> lists = recentLists();
    std::erase(lists, absolute);
    lists.insert(lists.begin(), absolute);
    std::string bytes;
    for (std::size_t k = 0; k < std::min(lists.size(), kRecentLists); ++k)
        bytes += shown(lists[k]) + "\n";
    try {
        fs::create_directories(stateFolder, error);
        authoring::replaceFile(recentListsFile(stateFolder), bytes, authoring::Backup::None);
    } catch (const std::exception &) {
        // A menu of recent lists is a convenience; the list itself is saved.
    }
    view_.titleChanged();
}

// --- The recovery copy ---

fs::path EditorSession::recoveryFile() const
{
    return authoring::recoveryFileOf(stateFolder / "recovery", file_, recoveryOwner);
}

void EditorSession::keepRecoveryCopy()
{
    view_.stopTimer();
    if (undo_.isClean()) {
        removeRecoveryCopy();
        return;
    }
    try {
        const fs::path copy = recoveryFile();
        std::error_code error;
        fs::create_directories(copy.parent_path(), error);
        authoring::replaceFile(copy, authoring::recoveryBytes(table_.document(), table_.pictures().changes()),
                               authoring::Backup::None);
    } catch (const std::exception &error) {
        view_.note(i18n::tr("No recovery copy of the unsaved edits could be kept: {0}", error.what()));
    }
}

void EditorSession::removeRecoveryCopy()
{
    view_.stopTimer();
    std::error_code ignored; // none there is what we want
    fs::remove(recoveryFile(), ignored);
}

void EditorSession::offerRecoveredUntitled()
{
    if (!file_)
        offerRecovered();
}

void EditorSession::offerRecovered()
{
    // Only a copy whose editor no longer runs: another editor's live copy is its own.
    const auto abandoned = authoring::abandonedRecoveryFiles(recoveryFile().parent_path(), file_);
    if (abandoned.empty())
        return;
    const fs::path &copy = abandoned.front();
    try {
        const std::optional<std::string> bytes = authoring::readFileIfAny(copy);
        if (!bytes)
            return;
        const authoring::Recovered recovered = authoring::readRecovery(*bytes);
        view_.stopTimer(); // the list just opened is clean: the copy must outlive the question
        const std::string list = file_ ? shown(*file_) : i18n::tr("a new list");
        if (view_.confirm(i18n::tr("Edits to {0} were not saved when the prize list editor last ended. Restore "
                                   "them?\n\nNo lets them go.",
                                   list))) {
            table_.restoreEdits(recovered);
            keepRecoveryCopy(); // the edits are this window's now, kept under its own name
        }
        std::error_code ignored; // a copy that cannot go is offered again next time
        fs::remove(copy, ignored);
    } catch (const std::exception &error) {
        view_.fail(i18n::tr("The unsaved edits kept in {0} cannot be restored.", shown(copy)), error.what());
    }
}

// --- Edits that ask, and Play ---

void EditorSession::choosePicture(int row)
{
    if (row < 0 || row >= table_.rowCount())
        return;
    if (const auto file = view_.chooseFileToOpen(EditorView::FileKind::Picture))
        setPicture(row, *file);
}

void EditorSession::setPicture(int row, const fs::path &file)
{
    try {
        table_.setPicture(row, file);
    } catch (const std::exception &error) {
        view_.fail(i18n::tr("The picture was not added."), error.what());
    }
}

void EditorSession::scaleWeightsTo100(const std::vector<int> &selected)
{
    // One row alone is rarely meant: then all of them.
    table_.scaleWeightsTo100(selected.size() > 1 ? selected : std::vector<int>());
}

void EditorSession::play(double scale)
{
    if ((!file_ || !undo_.isClean()) && !saveList())
        return;
    std::error_code error;
    if (!fs::exists(game, error)) {
        view_.fail(i18n::tr("Cannot start the game."),
                   i18n::tr("The game, prizedraw, is not beside the prize list editor: {0}", shown(game)));
        return;
    }
    try {
        // A list opened as "data.ini" or "memoji/data.ini" lives in a folder named relative to here.
        const fs::path list = fs::absolute(*file_);
        fs::path placed;
        if (canPlayInListFolder(list, game)) {
            placed = gameInListFolder(list, game);
        } else {
            const auto folder = view_.chooseFolder(
                i18n::tr("The game reads data.ini beside itself: choose a folder for the game and this list"));
            if (!folder)
                return;
            placed = fillGameFolder(fs::absolute(*folder), table_.document(), PictureFolder(list), game);
        }
        if (!view_.startGame(placed, placed.parent_path(), scale))
            view_.fail(i18n::tr("Cannot start the game."),
                       i18n::tr("{0} did not start; check that it may be run from that folder.", shown(placed)));
    } catch (const std::exception &error) {
        view_.fail(i18n::tr("Cannot start the game."), error.what());
    }
}

// --- The check ---

void EditorSession::requestCheck()
{
    // Once per turn of the event loop, so that removing a hundred rows asks
    // for one check, not a hundred.
    if (std::exchange(checkQueued_, true))
        return;
    view_.post([alive = std::weak_ptr(alive_)] {
        if (const auto self = alive.lock()) {
            EditorSession &session = **self;
            session.checkQueued_ = false;
            session.check_.request(session.table_.document(), session.file_, session.table_.pictures().changes());
        }
    });
}

void EditorSession::showCheck()
{
    const auto &check = check_.latest();
    table_.setCheck(check);
    if (!check->error.empty()) {
        shownWarnings_.reset();
        warnings_ = {{i18n::tr("The list cannot be checked: {0}", check->error), std::nullopt, {}, {}}};
        warningsChanged_ = true;
    } else {
        listWarnings(check->report.warnings);
    }
    view_.checkShown();
}

EditorSession::WeightTotal EditorSession::weightTotal() const
{
    const ListCheck *check = latestCheck();
    if (!check || !check->error.empty())
        return {};
    const odds::OddsReport &report = check->report;
    const double total = report.totalWeight;
    const auto warned = [&](odds::WarningCode code) {
        return int(std::count_if(report.warnings.begin(), report.warnings.end(),
                                 [&](const odds::Warning &warning) { return warning.code == code; }));
    };
    // A total the game counts with weights that are no number (as 0) or
    // negative is not the total the list seems to give: never a plain full bar.
    const int noNumber = warned(odds::WarningCode::WeightNotANumber);
    const int negative = warned(odds::WarningCode::WeightNegative);
    WeightTotal shown;
    shown.percent = int(std::clamp(total, 0.0, 100.0));
    shown.off = warned(odds::WarningCode::TotalNot100) > 0 || noNumber > 0 || negative > 0;
    shown.text = i18n::tr("Weights add up to {0} of 100", fmt::format("{:.10g}", total));
    if (noNumber > 0)
        shown.text += i18n::tr("; weights that are no number count as 0 ({0})", noNumber);
    if (negative > 0)
        shown.text += i18n::tr("; negative weights are subtracted ({0})", negative);
    if (report.emptyCount > 0)
        shown.text += i18n::tr("; the empty card takes {0} % of draws",
                               fmt::format("{:.4f}", odds::percentOf(report.emptyCount)));
    else if (total > 100)
        shown.text += i18n::tr(": the prizes past 100 are cut");
    return shown;
}

void EditorSession::listWarnings(const std::vector<odds::Warning> &warnings)
{
    // Most edits leave the warnings as they were; a long list is kept then.
    const auto same = [](const odds::Warning &a, const odds::Warning &b) {
        return a.index == b.index && a.message == b.message;
    };
    warningsChanged_ = !shownWarnings_ || !std::equal(warnings.begin(), warnings.end(), shownWarnings_->begin(),
                                                      shownWarnings_->end(), same);
    if (!warningsChanged_)
        return;
    shownWarnings_ = warnings;
    warnings_.clear();
    if (warnings.empty())
        warnings_.push_back({i18n::tr("No warnings: the game will draw this list as its weights say."), {}, {}, {}});
    const ListCheck *check = latestCheck();
    for (const odds::Warning &warning : warnings) {
        WarningItem item;
        item.prize = warning.index;
        std::string text = warning.text.translated();
        if (warning.index)
            text = i18n::tr("Prize {0} \"{1}\": {2}", *warning.index + 1, warning.name, text);
        // One remedy a line, the one this window offers first.
        std::vector<std::string> lines{text};
        if (warning.code == odds::WarningCode::PictureNearMiss && warning.index && check) {
            item.fix = WarningItem::Fix::TakePicture;
            // warning.file is "picture/<file>", beside the list
            item.picture = check->list.pictureFolder.parent_path() / catalogue::utf8Path(warning.file);
            lines.push_back(i18n::tr("Double-click here to take it as this prize's picture (written at Save)."));
        }
        if (warning.code == odds::WarningCode::Utf8WithoutBom && file_) {
            item.fix = WarningItem::Fix::ReopenUtf8;
            lines.push_back(
                i18n::tr("Double-click here to reopen the list as UTF-8; Save then writes it with a byte-order mark."));
        }
        for (const i18n::Message &remedy : warning.remedies) {
            std::string line = remedy.translated();
            // No full stop: a remedy may end in a command to copy.
            if (lines.size() > 1)
                line = i18n::tr("Or {0}", line);
            else if (!line.empty() && line[0] >= 'a' && line[0] <= 'z')
                line[0] = char(line[0] - 'a' + 'A');
            lines.push_back(line);
        }
        for (std::size_t k = 0; k < lines.size(); ++k)
            item.text += (k ? "\n" : "") + lines[k];
        warnings_.push_back(std::move(item));
    }
}

void EditorSession::fixWarning(std::size_t index)
{
    if (index >= warnings_.size())
        return;
    const WarningItem item = warnings_[index]; // a fix may list the warnings anew
    if (item.fix == WarningItem::Fix::ReopenUtf8) {
        reopenAsUtf8();
    } else if (item.fix == WarningItem::Fix::TakePicture && item.prize) {
        try {
            table_.setPicture(*item.prize, item.picture);
        } catch (const std::exception &error) {
            view_.fail(i18n::tr("The picture was not taken."), error.what());
        }
    }
}

EditorSession::Preview EditorSession::previewOf(int row) const
{
    Preview preview;
    const ListCheck *check = latestCheck();
    if (!check || !check->list.catalogue)
        return preview;
    const catalogue::Catalogue &prizes = *check->list.catalogue;
    preview.prizes = &prizes;
    preview.slot = std::clamp(row, 0, int(prizes.prizeCount));
    preview.caption =
        preview.slot == prizes.prizeCount ? i18n::tr("The empty card") : i18n::tr("Prize {0}", preview.slot + 1);
    // What the card cuts or cannot draw, said under the card that shows it.
    for (const odds::Warning &warning : check->report.warnings)
        if (warning.index == preview.slot && odds::isCardTextWarning(warning.code)) {
            preview.caption += "\n" + warning.text.translated();
            preview.textCut = true;
        }
    return preview;
}

} // namespace editing
