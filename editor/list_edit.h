// One undoable step of editing a list: what doing it and undoing it run; and
// the steps of one edit, pushed together or not at all.
#pragma once

#include <QUndoCommand>
#include <QUndoStack>

#include <functional>
#include <memory>

namespace editor {

class ListEdit : public QUndoCommand {
public:
    // The step has been done already, so that a step that fails never
    // reaches the stack: the first redo, which pushing runs, does nothing.
    ListEdit(const QString &text, std::function<void()> redo, std::function<void()> undo,
             QUndoCommand *parent = nullptr)
        : QUndoCommand(text, parent), redo_(std::move(redo)), undo_(std::move(undo))
    {
    }
    void redo() override
    {
        if (done_)
            done_ = false;
        else
            redo_();
    }
    void undo() override { undo_(); }

private:
    std::function<void()> redo_;
    std::function<void()> undo_;
    bool done_ = true;
};

// The steps of one edit. They reach the stack as one command once all are
// done; when one throws, the batch goes out of scope unpushed and undoes
// those done, so the list and the stack are as they were.
class EditBatch {
public:
    explicit EditBatch(const QString &text) : steps_(std::make_unique<QUndoCommand>(text)) {}
    ~EditBatch()
    {
        if (!steps_)
            return;
        try {
            steps_->undo();
        } catch (...) {
            // The edit's own failure is already on its way to the user.
        }
    }
    EditBatch(const EditBatch &) = delete;
    EditBatch &operator=(const EditBatch &) = delete;

    // A step that has just been done.
    void add(std::function<void()> redo, std::function<void()> undo)
    {
        new ListEdit({}, std::move(redo), std::move(undo), steps_.get());
    }
    void pushTo(QUndoStack &stack)
    {
        if (steps_->childCount() > 0)
            stack.push(steps_.release());
        else
            steps_.reset();
    }

private:
    std::unique_ptr<QUndoCommand> steps_;
};

} // namespace editor
