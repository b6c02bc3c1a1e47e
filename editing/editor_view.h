// What an editor's window does for the editing core: it shows, asks and
// runs things on its own thread; the core decides everything else. Each
// platform's editor implements it, as the game's front ends implement the
// window operations.
#pragma once

#include "prize_document.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace editing {

class EditorView {
public:
    virtual ~EditorView() = default;

    // --- Notifications: the view reads what changed from the session ---
    // The list's name or its unsaved state, or the recent lists.
    virtual void titleChanged() = 0;
    // A check is shown: the weights total, the warnings and the preview.
    virtual void checkShown() = 0;
    // The rows to select and show, after an edit that made them.
    virtual void selectRows(const std::vector<int> &rows) = 0;
    // A passing note, such as the status bar shows.
    virtual void note(const std::string &text) = 0;
    // A message to read and acknowledge.
    virtual void inform(const std::string &text) = 0;
    // A failure: what did not happen, and why.
    virtual void fail(const std::string &what, const std::string &why) = 0;

    // --- Questions ---
    virtual bool confirm(const std::string &question) = 0; // yes or no
    enum class Unsaved { Save, Discard, Cancel };
    virtual Unsaved askUnsaved(const std::string &question) = 0;
    // The index of the answer chosen, or nothing when the user cancels;
    // the first answer is the default.
    virtual std::optional<std::size_t> choose(const std::string &question,
                                              const std::vector<std::string> &answers) = 0;
    enum class FileKind { List, Csv, Picture };
    virtual std::optional<std::filesystem::path> chooseFileToOpen(FileKind kind) = 0;
    struct ListTarget {
        std::filesystem::path file;
        authoring::Encoding encoding = authoring::Encoding::Gbk;
    };
    virtual std::optional<ListTarget> chooseListToSave(const ListTarget &proposed) = 0;
    virtual std::optional<std::filesystem::path> chooseCsvToSave(const std::filesystem::path &proposed) = 0;
    virtual std::optional<std::filesystem::path> chooseFolder(const std::string &title) = 0;

    // --- Threads and time ---
    // Runs task on the user-interface thread, soon; callable from any thread.
    virtual void post(std::function<void()> task) = 0;
    // Runs task once after ms milliseconds on the user-interface thread; a
    // new start replaces the one waiting.
    virtual void startTimer(int ms, std::function<void()> task) = 0;
    virtual void stopTimer() = 0;

    // --- Pictures and the system ---
    // A picture file as the bytes of a JPEG; throws authoring::ListError.
    virtual std::string jpegOf(const std::filesystem::path &source) = 0;
    // Starts the game in folder, at scale (1, or 1.5 or 2 for a projector);
    // false when it did not start.
    virtual bool startGame(const std::filesystem::path &program, const std::filesystem::path &folder,
                           double scale) = 0;
};

} // namespace editing
