// An editor's view for the core's tests: it records what it is told, answers
// questions from a script, and runs posted tasks and the timer when the test
// pumps them. The decoder takes a JPEG or a PNG by its first bytes; a
// chosen picture goes in as it is.
#pragma once

#include "editor_session.h"
#include "fakes.h"
#include "picture_verdicts.h"
#include "runtime_error.h"
#include "slurp.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <fstream>
#include <mutex>
#include <thread>

namespace fakes {

class SignatureDecoder : public editing::PictureDecoder {
public:
    void judge(const std::filesystem::path &file) override
    {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            throw catalogue::RuntimeError(catalogue::ErrorCode::FileNotFound);
        char head[4] = {};
        in.read(head, 4);
        const std::string start(head, 4);
        if (start.substr(0, 3) != "\xFF\xD8\xFF" && start != "\x89PNG")
            throw catalogue::RuntimeError(catalogue::ErrorCode::InvalidPicture);
    }
    catalogue::PicturePtr pictureOf(const std::filesystem::path &file) override
    {
        return std::make_shared<FakePicture>(file);
    }
};

class FakeEditorView : public editing::EditorView {
public:
    // --- what the view was told ---
    int titles = 0;
    int checks = 0;
    std::vector<int> selected;
    std::vector<std::string> notes, messages, failures;
    std::vector<std::string> questions; // every question asked, in order

    // --- the script ---
    std::deque<bool> confirmations;          // default: no
    std::deque<Unsaved> unsavedAnswers;      // default: cancel
    std::deque<std::optional<std::size_t>> choices; // default: cancel
    std::deque<std::filesystem::path> filesToOpen;
    std::optional<ListTarget> listTarget;    // the answer to a Save As
    std::optional<ListTarget> proposedTarget; // what Save As proposed
    std::optional<std::filesystem::path> folder;
    struct GameStarted {
        std::filesystem::path program, folder;
        double scale = 1.0;
    };
    std::vector<GameStarted> gamesStarted;

    void titleChanged() override { ++titles; }
    void checkShown() override { ++checks; }
    void selectRows(const std::vector<int> &rows) override { selected = rows; }
    void note(const std::string &text) override { notes.push_back(text); }
    void inform(const std::string &text) override { messages.push_back(text); }
    void fail(const std::string &what, const std::string &why) override { failures.push_back(what + "\n" + why); }
    bool confirm(const std::string &question) override
    {
        questions.push_back(question);
        return take(confirmations, false);
    }
    Unsaved askUnsaved(const std::string &question) override
    {
        questions.push_back(question);
        return take(unsavedAnswers, Unsaved::Cancel);
    }
    std::optional<std::size_t> choose(const std::string &question, const std::vector<std::string> &answers) override
    {
        std::string asked = question;
        for (const std::string &answer : answers)
            asked += " [" + answer + "]";
        questions.push_back(asked);
        return take(choices, std::optional<std::size_t>());
    }
    std::optional<std::filesystem::path> chooseFileToOpen(FileKind) override
    {
        if (filesToOpen.empty())
            return std::nullopt;
        return take(filesToOpen, std::filesystem::path());
    }
    std::optional<ListTarget> chooseListToSave(const ListTarget &proposed) override
    {
        proposedTarget = proposed;
        return listTarget;
    }
    std::optional<std::filesystem::path> chooseCsvToSave(const std::filesystem::path &) override { return folder; }
    std::optional<std::filesystem::path> chooseFolder(const std::string &) override { return folder; }
    void post(std::function<void()> task) override
    {
        const std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
        wake_.notify_all();
    }
    void startTimer(int, std::function<void()> task) override { timer = std::move(task); }
    void stopTimer() override { timer = nullptr; }
    std::string jpegOf(const std::filesystem::path &source) override
    {
        judge.judge(source);
        return slurp(source);
    }
    bool startGame(const std::filesystem::path &program, const std::filesystem::path &folder, double scale) override
    {
        gamesStarted.push_back({program, folder, scale});
        return true;
    }

    // Runs what was posted until done() holds, or 30 s pass; returns done().
    bool runPostedUntil(const std::function<bool()> &done)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done() && std::chrono::steady_clock::now() < until) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex_);
                wake_.wait_for(lock, std::chrono::milliseconds(50), [this] { return !posted_.empty(); });
                if (posted_.empty())
                    continue;
                task = std::move(posted_.front());
                posted_.pop_front();
            }
            task();
        }
        return done();
    }
    bool waitForOdds(editing::EditorSession &session)
    {
        return runPostedUntil([&] { return session.oddsUpToDate(); });
    }

    std::function<void()> timer; // the one-shot timer waiting, if any
    SignatureDecoder judge;

private:
    template <typename T>
    static T take(std::deque<T> &answers, T otherwise)
    {
        if (answers.empty())
            return otherwise;
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> posted_;
};

// A session over a fake view, keeping its state in a folder of its own.
struct FakeSession {
    TempFolder state;
    FakeEditorView view;
    editing::EditorSession session{view, view.judge, nullptr};
    FakeSession()
    {
        session.stateFolder = state.path() / "state";
        session.documentsFolder = state.path() / u8"文档";
    }
    editing::PrizeTable &table() { return session.table(); }
    editing::UndoStack &undo() { return session.undo(); }
    bool waitForOdds() { return view.waitForOdds(session); }
    // The first failure the view was told of, for a message.
    std::string failure() const { return view.failures.empty() ? std::string() : view.failures.front(); }
};

} // namespace fakes
