#pragma once

// Multi-level undo and redo over the document's bytes: each step keeps the whole document
// before and after it and the selection around it. Forms are small, so whole snapshots are
// cheap and exact. Repeated steps of one kind on the same selection (nudges) merge into one.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace kovet::designer {

struct TUndoStep {
    std::string Label;
    std::vector<std::uint8_t> Before, After;
    std::vector<std::int32_t> SelectedBefore, SelectedAfter;
    // Steps that merge with the next of the same label and selection.
    bool Mergeable = false;

    std::size_t Bytes() const { return Before.size() + After.size(); }
};

class UndoHistory {
public:
    // The history keeps at most this many steps and this many bytes; the oldest go first.
    static constexpr std::size_t kMaxSteps = 100;
    static constexpr std::size_t kMaxBytes = std::size_t(64) << 20;

    // A new step: the redo steps go. A mergeable step that follows a mergeable one of the same
    // label and selection extends it instead.
    void Record(TUndoStep step);
    void Clear();

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    // "Move", "Delete"...; empty when there is nothing to undo (or redo).
    std::string UndoLabel() const { return CanUndo() ? steps_[done_ - 1].Label : std::string(); }
    std::string RedoLabel() const { return CanRedo() ? steps_[done_].Label : std::string(); }

    // The step to take back or do again; the history moves past it.
    const TUndoStep& Undo();
    const TUndoStep& Redo();

private:
    void trim();

    std::deque<TUndoStep> steps_;
    std::size_t done_ = 0;
    std::size_t bytes_ = 0;
};

} // namespace kovet::designer
