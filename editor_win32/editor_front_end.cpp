// The Windows editor's answers to the editing core.
#include "editor_front_end.h"

#include "card_painter.h"
#include "game_folder.h"
#include "i18n.h"
#include "wide_text.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <shellapi.h>

#include <algorithm>

namespace editor_win32 {

namespace fs = std::filesystem;
using authoring::Encoding;
using editing::EditorSession;
using window::win32::narrow;
using window::win32::widen;

namespace {
constexpr UINT kPosted = WM_APP + 1;
constexpr UINT_PTR kTimerId = 1;

std::wstring programName() { return widen(EditorSession::programName()); }

window::win32::DeviceSize pictureBoxAt(int dpi)
{
    const window::win32::CardPainter painter(dpi);
    const auto box = painter.pictureBox();
    return {box.width, box.height};
}

// The system's own dialog for a file: filters as pairs of text and pattern.
std::optional<fs::path> fileDialog(HWND owner, bool save, const std::vector<std::wstring> &filters, DWORD &filterIndex,
                                   const fs::path &proposed, const wchar_t *extension)
{
    std::wstring filter;
    for (const std::wstring &part : filters)
        filter += part + L'\0';
    filter += L'\0';
    std::wstring file = proposed.filename().wstring();
    file.resize(32768, L'\0');
    const std::wstring folder = proposed.parent_path().wstring();
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = filterIndex;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = DWORD(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrDefExt = extension;
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR |
                   (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog)))
        return std::nullopt;
    filterIndex = dialog.nFilterIndex;
    return fs::path(file.c_str());
}

bool startDetached(const fs::path &program, const fs::path &folder, double scale)
{
    std::wstring command = L"\"" + program.wstring() + L"\"";
    if (scale != 1.0) { // the game draws itself larger, every line and picture at that size
        wchar_t text[32];
        swprintf(text, 32, L" --scale %g", scale);
        command += text;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

fs::path knownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    fs::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        folder = path;
    CoTaskMemFree(path);
    return folder;
}
} // namespace

EditorFrontEnd::EditorFrontEnd(const fs::path &folder, int dpi)
    : gameStarter(startDetached), decoder_(std::make_unique<WicPictureDecoder>(pictureBoxAt(dpi))),
      session_(std::make_unique<EditorSession>(*this, *decoder_, &texts_))
{
    session_->game = folder / L"prizedraw.exe"; // the setup program and the zip put the two side by side
    session_->stateFolder = knownFolder(FOLDERID_LocalAppData) / L"prizedraw" / L"prizeedit";
    session_->documentsFolder = knownFolder(FOLDERID_Documents);
    source_ = std::make_unique<CoreSource>(session_->table());
    window_ = std::make_unique<EditorWindow>(*source_);
    source_->pasted = [this](const std::vector<int> &rows) { selectRows(rows); };
    window_->onCommand = [this](Command command) { run(command); };
    window_->onMessage = [this](UINT message, WPARAM wParam, LPARAM) {
        if (message == kPosted) {
            runPosted();
            return true;
        }
        if (message == WM_TIMER && wParam == kTimerId) {
            KillTimer(window_->handle(), kTimerId);
            if (const auto task = std::exchange(timerTask_, nullptr))
                task();
            return true;
        }
        return false;
    };
    window_->onWarningClicked = [this](int item) {
        const auto &warnings = session_->warnings();
        if (std::size_t(item) < warnings.size() && warnings[std::size_t(item)].prize)
            selectRows({*warnings[std::size_t(item)].prize});
    };
    window_->onWarningActivated = [this](int item) { session_->fixWarning(std::size_t(item)); };
    window_->table().currentRowChanged = [this](int) { showPreview(); };
    window_->table().fileDropped = [this](int row, const fs::path &file) { session_->setPicture(row, file); };
    window_->onEditMenuOpening = [this] {
        window_->setUndoTexts(widen(session_->undoMenuText()), widen(session_->redoMenuText()));
    };
    titleChanged();
    target_ = window_->handle();
    PostMessageW(target_, kPosted, 0, 0); // what the session posted before the window was there
}

EditorFrontEnd::~EditorFrontEnd()
{
    target_ = nullptr;
    // The window first, which may still ask the table for cells as it goes,
    // then the table's source, which lets go of the session's table.
    window_.reset();
    source_.reset();
    session_.reset();
}

void EditorFrontEnd::run(Command command)
{
    const int recent = int(command) - int(Command::OpenRecent);
    if (recent >= 0 && recent < kMaxRecent) {
        if (std::size_t(recent) < recent_.size())
            session_->openRecent(fs::path(recent_[std::size_t(recent)])); // a copy: the menu is made again
        return;
    }
    editing::PrizeTable &table = session_->table();
    const std::vector<int> rows = window_->table().selectedRows();
    switch (command) {
    case Command::New: session_->newList(); break;
    case Command::Open: session_->openListAsked(); break;
    case Command::Save: session_->saveList(); break;
    case Command::SaveAs: session_->saveListAsAsked(); break;
    case Command::ImportCsv: session_->importCsv(); break;
    case Command::ExportCsv: session_->exportCsv(); break;
    case Command::Quit:
        if (session_->keepOrDropChanges())
            DestroyWindow(window_->handle());
        break;
    case Command::Undo: session_->undo().undo(); break;
    case Command::Redo: session_->undo().redo(); break;
    case Command::CopyRows: window_->table().copy(); break;
    case Command::PasteRows: window_->table().paste(); break;
    case Command::AddPrize: {
        const int at = rows.empty() ? table.rowCount() : rows.back() + 1;
        table.addPrize(at);
        selectRows({at});
        break;
    }
    case Command::Duplicate: table.duplicatePrizes(rows); break;
    case Command::Remove: table.removePrizes(rows); break;
    case Command::MoveUp: selectRows(table.movePrizes(rows, -1)); break;
    case Command::MoveDown: selectRows(table.movePrizes(rows, +1)); break;
    case Command::ScaleWeightsTo100: session_->scaleWeightsTo100(rows); break;
    case Command::ChoosePicture:
        if (!rows.empty())
            session_->choosePicture(rows.front());
        break;
    case Command::Play: session_->play(); break;
    case Command::PlayAt1_5: session_->play(1.5); break;
    case Command::PlayAt2: session_->play(2.0); break;
    case Command::ShowColumn: // the window's own
    case Command::OpenRecent: break;
    }
}

// --- Notifications ---

void EditorFrontEnd::titleChanged()
{
    if (!window_)
        return;
    window_->setTitle(widen(session_->listName()) + (session_->modified() ? L"*" : L"") + L" — " + programName());
    recent_ = session_->recentLists();
    std::vector<std::wstring> lists;
    for (const fs::path &list : recent_)
        lists.push_back(list.wstring());
    window_->showRecent(lists);
}

void EditorFrontEnd::checkShown()
{
    if (session_->warningsChanged()) {
        std::vector<std::wstring> lines;
        for (const auto &item : session_->warnings()) {
            std::wstring line = widen(item.text);
            std::replace(line.begin(), line.end(), L'\n', L' '); // a list box item is one line
            lines.push_back(std::move(line));
        }
        window_->showWarnings(lines);
    }
    const auto total = session_->weightTotal();
    window_->showTotal(widen(total.text), total.percent, total.off);
    showPreview();
}

void EditorFrontEnd::showPreview()
{
    const int row = window_->table().currentRow();
    const auto preview = session_->previewOf(row < 0 ? 0 : row);
    if (!preview.prizes)
        return;
    window_->preview().showSlot(*preview.prizes, preview.slot);
    window_->showCardCaption(widen(preview.caption), preview.textCut);
}

void EditorFrontEnd::selectRows(const std::vector<int> &rows)
{
    if (window_)
        window_->table().selectRows(rows);
}

void EditorFrontEnd::note(const std::string &text) { window_->showNote(widen(text)); }

void EditorFrontEnd::inform(const std::string &text) { ask(text, {}, false); }

void EditorFrontEnd::fail(const std::string &what, const std::string &why) { ask(what + "\n\n" + why, {}, true); }

// --- Questions ---

std::optional<std::size_t> EditorFrontEnd::ask(const std::string &question, const std::vector<std::wstring> &buttons,
                                               bool warning)
{
    if (answer)
        return answer(question, buttons.size());
    const std::wstring text = widen(question);
    const std::wstring title = programName();
    std::vector<TASKDIALOG_BUTTON> own;
    for (std::size_t k = 0; k < buttons.size(); ++k)
        own.push_back({int(1000 + k), buttons[k].c_str()});
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = window_ ? window_->handle() : nullptr;
    config.pszWindowTitle = title.c_str();
    config.pszContent = text.c_str();
    config.pszMainIcon = warning ? TD_WARNING_ICON : TD_INFORMATION_ICON;
    config.pButtons = own.empty() ? nullptr : own.data();
    config.cButtons = UINT(own.size());
    config.dwCommonButtons = own.empty() ? TDCBF_OK_BUTTON : TDCBF_CANCEL_BUTTON;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
    int pressed = 0;
    if (FAILED(TaskDialogIndirect(&config, &pressed, nullptr, nullptr))) {
        // Without the task dialog: a plain box, its OK the first answer.
        const UINT type = (own.empty() ? MB_OK : MB_OKCANCEL) | (warning ? MB_ICONWARNING : MB_ICONINFORMATION);
        pressed = MessageBoxW(config.hwndParent, text.c_str(), title.c_str(), type) == IDOK && !own.empty() ? 1000 : 0;
    }
    if (pressed >= 1000 && pressed < 1000 + int(own.size()))
        return std::size_t(pressed - 1000);
    return std::nullopt;
}

bool EditorFrontEnd::confirm(const std::string &question)
{
    return ask(question, {widen(i18n::tr("&Yes")), widen(i18n::tr("&No"))}, false) == 0u;
}

editing::EditorView::Unsaved EditorFrontEnd::askUnsaved(const std::string &question)
{
    const auto answer = ask(question, {widen(i18n::tr("&Save")), widen(i18n::tr("Do&n't save"))}, true);
    return answer == 0u ? Unsaved::Save : answer == 1u ? Unsaved::Discard : Unsaved::Cancel;
}

std::optional<std::size_t> EditorFrontEnd::choose(const std::string &question, const std::vector<std::string> &answers)
{
    std::vector<std::wstring> buttons;
    for (const std::string &answer : answers)
        buttons.push_back(widen(answer));
    return ask(question, buttons, true);
}

std::optional<fs::path> EditorFrontEnd::chooseFileToOpen(FileKind kind)
{
    DWORD index = 1;
    switch (kind) {
    case FileKind::List:
        return fileDialog(window_->handle(), false,
                          {widen(i18n::tr("Prize lists (*.ini)")), L"*.ini", widen(i18n::tr("All files")), L"*.*"},
                          index, {}, L"ini");
    case FileKind::Csv:
        return fileDialog(window_->handle(), false,
                          {L"CSV (*.csv)", L"*.csv", widen(i18n::tr("All files")), L"*.*"}, index, {}, L"csv");
    case FileKind::Picture:
        return fileDialog(window_->handle(), false,
                          {widen(i18n::tr("Pictures (*.jpg *.jpeg *.png *.bmp *.gif)")),
                           L"*.jpg;*.jpeg;*.png;*.bmp;*.gif", widen(i18n::tr("All files")), L"*.*"},
                          index, {}, nullptr);
    }
    return std::nullopt;
}

std::optional<editing::EditorView::ListTarget> EditorFrontEnd::chooseListToSave(const ListTarget &proposed)
{
    DWORD index = proposed.encoding == Encoding::Utf8 ? 2 : 1;
    const auto file = fileDialog(window_->handle(), true,
                                 {widen(i18n::tr("Prize list in GBK, as the game's own (*.ini)")), L"*.ini",
                                  widen(i18n::tr("Prize list in UTF-8 with a byte-order mark (*.ini)")), L"*.ini"},
                                 index, proposed.file, L"ini");
    if (!file)
        return std::nullopt;
    return ListTarget{*file, index == 2 ? Encoding::Utf8 : Encoding::Gbk};
}

std::optional<fs::path> EditorFrontEnd::chooseCsvToSave(const fs::path &proposed)
{
    DWORD index = 1;
    return fileDialog(window_->handle(), true, {L"CSV (*.csv)", L"*.csv"}, index, proposed, L"csv");
}

std::optional<fs::path> EditorFrontEnd::chooseFolder(const std::string &title)
{
    const std::wstring text = widen(title);
    BROWSEINFOW browse{};
    browse.hwndOwner = window_->handle();
    browse.lpszTitle = text.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    if (!chosen)
        return std::nullopt;
    std::wstring path(32768, L'\0');
    const bool named = SHGetPathFromIDListEx(chosen, path.data(), DWORD(path.size()), GPFIDL_DEFAULT);
    CoTaskMemFree(chosen);
    return named ? std::optional(fs::path(path.c_str())) : std::nullopt;
}

// --- Threads and time ---

void EditorFrontEnd::post(std::function<void()> task)
{
    {
        const std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
    }
    if (const HWND target = target_)
        PostMessageW(target, kPosted, 0, 0);
}

void EditorFrontEnd::runPosted()
{
    for (;;) {
        std::function<void()> task;
        {
            const std::lock_guard lock(mutex_);
            if (posted_.empty())
                return;
            task = std::move(posted_.front());
            posted_.pop_front();
        }
        task();
    }
}

void EditorFrontEnd::startTimer(int ms, std::function<void()> task)
{
    timerTask_ = std::move(task);
    if (window_)
        SetTimer(window_->handle(), kTimerId, UINT(ms), nullptr);
}

void EditorFrontEnd::stopTimer()
{
    timerTask_ = nullptr;
    if (window_)
        KillTimer(window_->handle(), kTimerId);
}

} // namespace editor_win32
