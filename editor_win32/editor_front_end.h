// The Windows editor: the editing core's session behind the Windows window.
// It answers the core's questions with the system's dialogs, runs posted
// tasks and the timer on the window's thread, and turns menu commands into
// the core's edits; the core decides everything else.
#pragma once

#include "core_source.h"
#include "editor_session.h"
#include "editor_window.h"
#include "gdi_text_measure.h"
#include "wic_pictures.h"

#include <atomic>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>

namespace editor_win32 {

class EditorFrontEnd : public editing::EditorView {
public:
    // folder: the editor's own, where the game sits beside it.
    EditorFrontEnd(const std::filesystem::path &folder, int dpi);
    ~EditorFrontEnd() override;

    editing::EditorSession &session() { return *session_; }
    EditorWindow &window() { return *window_; }

    // How Play starts the game; CreateProcess unless a test replaces it.
    std::function<bool(const std::filesystem::path &program, const std::filesystem::path &folder, double scale)>
        gameStarter;
    // Questions answered without a dialog, for tests: when set, each takes the question.
    std::function<std::optional<std::size_t>(const std::string &question, std::size_t answers)> answer;

    void titleChanged() override;
    void checkShown() override;
    void selectRows(const std::vector<int> &rows) override;
    void note(const std::string &text) override;
    void inform(const std::string &text) override;
    void fail(const std::string &what, const std::string &why) override;
    bool confirm(const std::string &question) override;
    Unsaved askUnsaved(const std::string &question) override;
    std::optional<std::size_t> choose(const std::string &question, const std::vector<std::string> &answers) override;
    std::optional<std::filesystem::path> chooseFileToOpen(FileKind kind) override;
    std::optional<ListTarget> chooseListToSave(const ListTarget &proposed) override;
    std::optional<std::filesystem::path> chooseCsvToSave(const std::filesystem::path &proposed) override;
    std::optional<std::filesystem::path> chooseFolder(const std::string &title) override;
    void post(std::function<void()> task) override;
    void startTimer(int ms, std::function<void()> task) override;
    void stopTimer() override;
    std::string jpegOf(const std::filesystem::path &source) override { return editor_win32::jpegOf(source); }
    bool startGame(const std::filesystem::path &program, const std::filesystem::path &folder, double scale) override
    {
        return gameStarter(program, folder, scale);
    }

private:
    void run(Command command);
    void showPreview();
    void runPosted();
    std::optional<std::size_t> ask(const std::string &question, const std::vector<std::wstring> &buttons,
                                   bool warning);

    // Made before the session, which posts its first check as it is made.
    std::atomic<HWND> target_{nullptr}; // where tasks are posted, from any thread
    std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
    std::function<void()> timerTask_;
    std::unique_ptr<CoreSource> source_;
    std::vector<std::filesystem::path> recent_; // as File > Open Recent shows them
    std::unique_ptr<EditorWindow> window_;

    std::unique_ptr<WicPictureDecoder> decoder_;
    window::win32::GdiTextMeasure texts_;
    std::unique_ptr<editing::EditorSession> session_;
};

} // namespace editor_win32
