// The undo history.
#include "undo_stack.h"

namespace editing {

namespace {
const std::string kNoText;
}

void UndoStack::push(Command command)
{
    if (clean_ && *clean_ > index_)
        clean_.reset(); // the saved state was undone and is now out of reach
    commands_.resize(index_);
    commands_.push_back(std::move(command));
    ++index_;
    changed();
}

void UndoStack::undo()
{
    if (!canUndo())
        return;
    const Command &command = commands_[index_ - 1];
    for (auto step = command.steps.rbegin(); step != command.steps.rend(); ++step)
        step->undo();
    --index_;
    changed();
}

void UndoStack::redo()
{
    if (!canRedo())
        return;
    for (const Step &step : commands_[index_].steps)
        step.redo();
    ++index_;
    changed();
}

void UndoStack::clear()
{
    commands_.clear();
    index_ = 0;
    clean_ = 0;
    changed();
}

const std::string &UndoStack::undoText() const { return canUndo() ? commands_[index_ - 1].text : kNoText; }

const std::string &UndoStack::redoText() const { return canRedo() ? commands_[index_].text : kNoText; }

EditBatch::~EditBatch()
{
    if (pushed_)
        return;
    for (auto step = command_.steps.rbegin(); step != command_.steps.rend(); ++step) {
        try {
            step->undo();
        } catch (...) {
            // The edit's own failure is already on its way to the user.
        }
    }
}

void EditBatch::pushTo(UndoStack &stack)
{
    pushed_ = true;
    if (!command_.steps.empty())
        stack.push(std::move(command_));
}

} // namespace editing
