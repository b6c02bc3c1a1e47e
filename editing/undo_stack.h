// The undo history of a list being edited: steps already done, each with
// what undoes and redoes it, the clean state, and the texts of the Undo and
// Redo commands. Plain C++, so that every editor's view shares one history.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace editing {

class UndoStack {
public:
    struct Step {
        std::function<void()> redo;
        std::function<void()> undo;
    };
    // One command: its text and its steps, undone last to first.
    struct Command {
        std::string text;
        std::vector<Step> steps;
    };

    // Takes a command whose steps have been done; redo later runs them again.
    void push(Command command);
    void undo();
    void redo();
    void clear();

    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < commands_.size(); }
    const std::string &undoText() const;
    const std::string &redoText() const;
    std::size_t count() const { return commands_.size(); }
    std::size_t index() const { return index_; }

    // Clean: the list is as saved. A save marks it; undoing past it, or a
    // new command after undoing past it, leaves it for good.
    bool isClean() const { return clean_ && *clean_ == index_; }
    void setClean()
    {
        clean_ = index_;
        changed();
    }

    // Called after every change of the index, the commands or the clean state.
    std::function<void()> changed = [] {};

private:
    std::vector<Command> commands_;
    std::size_t index_ = 0;
    std::optional<std::size_t> clean_ = 0;
};

// The steps of one edit. They reach the stack as one command once all are
// done; when one throws, the batch goes out of scope unpushed and undoes the
// steps done, so the list and the stack are as they were.
class EditBatch {
public:
    explicit EditBatch(std::string text) : command_{std::move(text), {}} {}
    ~EditBatch();
    EditBatch(const EditBatch &) = delete;
    EditBatch &operator=(const EditBatch &) = delete;

    // A step that has just been done.
    void add(std::function<void()> redo, std::function<void()> undo)
    {
        command_.steps.push_back({std::move(redo), std::move(undo)});
    }
    // Nothing reaches the stack for an edit that changed nothing.
    void pushTo(UndoStack &stack);

private:
    UndoStack::Command command_;
    bool pushed_ = false;
};

} // namespace editing
