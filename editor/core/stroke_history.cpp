#include "editor/core/stroke_history.h"


bool StrokeHistory::Reset(kesh::win::Bitmap base)
{
    kesh::win::Bitmap display;
    if (!base.isValid() || !CopyBitmap(base.get(), display))
        return false;
    ReleaseStrokes();
    base_ = std::move(base);
    display_ = std::move(display);
    modified_ = 0;
    return true;
}

void StrokeHistory::ApplyToDisplay(const PenPtr& stroke)
{
    stroke->Apply(display_.get());
    stroke->AfterApply();
}

bool StrokeHistory::Record(const PenPtr& stroke)
{
    if (!stroke || !stroke->HasContent() || !display_.isValid())
        return false;
    ++modified_;
    ApplyToDisplay(stroke);
    undo_.push_back(stroke);
    redo_.clear();
    if (undo_.size() > kMaxUndo) {
        const PenPtr oldest = undo_.front();
        undo_.pop_front();
        oldest->Apply(base_.get());
    }
    return true;
}

bool StrokeHistory::Undo()
{
    if (undo_.empty())
        return false;
    --modified_;
    redo_.push_front(undo_.back());
    undo_.pop_back();
    CopyBitmap(base_.get(), display_);
    for (const PenPtr& stroke : undo_)
        ApplyToDisplay(stroke);
    return true;
}

bool StrokeHistory::Redo()
{
    if (redo_.empty())
        return false;
    ++modified_;
    const PenPtr stroke = redo_.front();
    redo_.pop_front();
    undo_.push_back(stroke);
    ApplyToDisplay(stroke);
    return true;
}

void StrokeHistory::ReleaseStrokes()
{
    redo_.clear();
    undo_.clear();
}
