// One undoable step of editing a list: what doing it and undoing it run.
#pragma once

#include <QUndoCommand>

#include <functional>

namespace editor {

class ListEdit : public QUndoCommand {
public:
    // The step has been done already, so that a step that fails never
    // reaches the stack: the first redo, which pushing runs, does nothing.
    ListEdit(const QString &text, std::function<void()> redo, std::function<void()> undo)
        : QUndoCommand(text), redo_(std::move(redo)), undo_(std::move(undo))
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

} // namespace editor
