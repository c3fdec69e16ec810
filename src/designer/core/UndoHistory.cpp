#include "UndoHistory.h"

namespace kovet::designer {

void UndoHistory::Record(TUndoStep step) {
    while (steps_.size() > done_) {
        bytes_ -= steps_.back().Bytes();
        steps_.pop_back();
    }
    if (step.Mergeable && done_ > 0) {
        TUndoStep& last = steps_.back();
        if (last.Mergeable && last.Label == step.Label && last.SelectedAfter == step.SelectedBefore) {
            bytes_ -= last.Bytes();
            last.After = std::move(step.After);
            last.SelectedAfter = std::move(step.SelectedAfter);
            bytes_ += last.Bytes();
            return;
        }
    }
    bytes_ += step.Bytes();
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    trim();
}

void UndoHistory::Clear() {
    steps_.clear();
    done_ = 0;
    bytes_ = 0;
}

const TUndoStep& UndoHistory::Undo() {
    // A step undone no longer merges with what comes next.
    steps_[--done_].Mergeable = false;
    return steps_[done_];
}

const TUndoStep& UndoHistory::Redo() {
    return steps_[done_++];
}

void UndoHistory::trim() {
    // The newest step stays, whatever it weighs.
    while (steps_.size() > 1 && (steps_.size() > kMaxSteps || bytes_ > kMaxBytes)) {
        bytes_ -= steps_.front().Bytes();
        steps_.pop_front();
        --done_;
    }
}

} // namespace kovet::designer
