// The editing core on one platform's picture decoder and text measure: from
// opening a list to its odds, and to every picture judged; and from an edit
// of a weight to its odds. No window: what the core itself costs, the same
// program on Linux and on Windows. Prints one line of figures.
#pragma once

#include "editor_session.h"
#include "measures.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>

namespace bench {

// A view with no window: posted tasks run when the benchmark waits.
class HeadlessView : public editing::EditorView {
public:
    void titleChanged() override {}
    void checkShown() override { ++checks; }
    void selectRows(const std::vector<int> &) override {}
    void note(const std::string &) override {}
    void inform(const std::string &) override {}
    void fail(const std::string &what, const std::string &why) override
    {
        std::fprintf(stderr, "%s %s\n", what.c_str(), why.c_str());
    }
    bool confirm(const std::string &) override { return false; }
    Unsaved askUnsaved(const std::string &) override { return Unsaved::Discard; }
    std::optional<std::size_t> choose(const std::string &, const std::vector<std::string> &) override { return {}; }
    std::optional<std::filesystem::path> chooseFileToOpen(FileKind) override { return {}; }
    std::optional<ListTarget> chooseListToSave(const ListTarget &) override { return {}; }
    std::optional<std::filesystem::path> chooseCsvToSave(const std::filesystem::path &) override { return {}; }
    std::optional<std::filesystem::path> chooseFolder(const std::string &) override { return {}; }
    void post(std::function<void()> task) override
    {
        const std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
        wake_.notify_all();
    }
    void startTimer(int, std::function<void()>) override {}
    void stopTimer() override {}
    std::string jpegOf(const std::filesystem::path &) override { return {}; }
    bool startGame(const std::filesystem::path &, const std::filesystem::path &, double) override { return false; }

    // Runs posted tasks until done() holds.
    void runUntil(const std::function<bool()> &done)
    {
        while (!done()) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return !posted_.empty(); });
                task = std::move(posted_.front());
                posted_.pop_front();
            }
            task();
        }
    }
    int checks = 0;

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> posted_;
};

inline double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Opens dataIni and makes `edits` edits of a weight; returns the exit status.
inline int measureEditing(const std::filesystem::path &dataIni, int edits, editing::PictureDecoder &decoder,
                          window::TextMeasure *measure)
{
    HeadlessView view;
    editing::EditorSession session(view, decoder, measure);
    view.runUntil([&] { return session.oddsUpToDate(); }); // the empty list's first check
    const auto opening = std::chrono::steady_clock::now();
    if (!session.openList(dataIni))
        return 1;
    const int before = view.checks;
    view.runUntil([&] { return view.checks > before; });
    const double openOddsMs = msSince(opening);
    view.runUntil([&] { return session.oddsUpToDate(); });
    const double openPicturesMs = msSince(opening);

    editing::PrizeTable &table = session.table();
    std::vector<double> editMs, oddsMs;
    for (int k = 0; k < edits && table.rowCount() > 0; ++k) {
        const int row = (k * 37) % table.rowCount();
        const auto start = std::chrono::steady_clock::now();
        table.setCell(row, editing::PrizeTable::Weight, "0.1" + std::to_string(k + 1)); // a new text every time
        editMs.push_back(msSince(start));
        view.runUntil([&] { return session.oddsUpToDate(); });
        oddsMs.push_back(msSince(start));
    }
    std::printf("prizes %d edits %d edit_ms median %.3f p95 %.3f odds_ms median %.3f p95 %.3f open_odds_ms %.1f "
                "open_pictures_ms %.1f\n",
                table.rowCount(), int(oddsMs.size()), percentile(editMs, 0.5), percentile(editMs, 0.95),
                percentile(oddsMs, 0.5), percentile(oddsMs, 0.95), openOddsMs, openPicturesMs);
    return 0;
}

} // namespace bench
