#pragma once

#include "editor/core/bitmap.h"
#include "editor/core/pen.h"

#include <deque>

// The opened image and the strokes drawn on it, without any window.
//
// The display bitmap is the base bitmap with every stroke of the undo list
// applied in order; it is what the view shows, copies and saves. The base
// bitmap is the image with the strokes that fell off the undo list. At most
// kMaxUndo strokes are kept in the undo and redo lists together. The
// modified counter is 0 for "not modified": +1 per recorded stroke and per
// redo, -1 per undo, and whatever SetModified stores (0 after a save).
class StrokeHistory {
public:
    static constexpr unsigned kMaxUndo = 15;

    // Takes base (the image's bitmap, a DIB section) and makes the display
    // bitmap a copy of it; the lists are emptied and the counter set to 0.
    // False, with nothing kept, when the copy cannot be made.
    bool Reset(kesh::win::Bitmap base);

    HBITMAP Display() const { return display_.get(); }
    HBITMAP Base() const { return base_.get(); }
    SIZE Size() const { return BitmapSize(base_.get()); }

    int Modified() const { return modified_; }
    void SetModified(int counter) { modified_ = counter; }

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // Oldest stroke first.
    const std::deque<PenPtr>& UndoList() const { return undo_; }
    // Most recently undone stroke first.
    const std::deque<PenPtr>& RedoList() const { return redo_; }

    // The one place a finished stroke is recorded: a stroke with content is
    // applied to the display bitmap, appended to the undo list, the redo
    // list is emptied and the counter goes up; beyond kMaxUndo strokes the
    // oldest is applied to the base bitmap and dropped. False, with nothing
    // changed, for an empty handle, a stroke without content or no image.
    bool Record(const PenPtr& stroke);

    // Moves the newest stroke to the redo list and rebuilds the display
    // bitmap from the base (reusing the display bitmap). False when there
    // is nothing to undo.
    bool Undo();
    // Moves the most recently undone stroke back and applies it. False
    // when there is nothing to redo.
    bool Redo();

    // Releases both lists (the view does this before it saves the settings).
    void ReleaseStrokes();

private:
    void ApplyToDisplay(const PenPtr& stroke);

    kesh::win::Bitmap base_;
    kesh::win::Bitmap display_;
    std::deque<PenPtr> undo_;
    std::deque<PenPtr> redo_;
    int modified_ = 0;
};
