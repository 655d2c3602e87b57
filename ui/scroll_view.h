#pragma once

#include "ui/view.h"

namespace ui {

// A view whose content is larger than its window: it owns the scroll
// position, the scroll bars, the wheel, and the DC origin that OnDraw sees
// (content coordinates, MM_TEXT).
class CScrollView : public CView {
public:
    // The content size in pixels. A page or line of {0, 0} takes the
    // default: a page is a tenth of the total size, a line a tenth of a page
    // (integer division).
    void SetScrollExtent(SIZE total, SIZE page = SIZE(), SIZE line = SIZE());
    SIZE TotalSize() const { return total_; }
    SIZE PageSize() const { return page_; }
    SIZE LineSize() const { return line_; }

    POINT ScrollPosition() const { return position_; }
    void ScrollTo(POINT position);
    // Moves the position by size, kept within 0..total - client on each
    // axis that has a bar; with doScroll the window content moves too.
    // True when the position changed.
    virtual bool OnScrollBy(SIZE size, bool doScroll = true);

    void OnPrepareDC(HDC dc) override;

protected:
    const MessageMap* GetMessageMap() const override;
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnHScroll(WPARAM, LPARAM);
    LRESULT OnVScroll(WPARAM, LPARAM);
    LRESULT OnMouseWheel(WPARAM, LPARAM);
    // Arrows scroll by a line, Page Up/Down by a page, Home/End to the
    // top/bottom. A derived view that handles WM_KEYDOWN itself replaces
    // this.
    LRESULT OnKeyDown(WPARAM, LPARAM);

    // The position a scroll-bar code leads to on one axis.
    LONG ScrollTarget(int bar, UINT code, LONG current, LONG line, LONG page) const;
    void UpdateBars();
    SIZE MaxPosition() const;

private:
    SIZE total_ = {};
    SIZE page_ = {};
    SIZE line_ = {};
    POINT position_ = {};
    bool updatingBars_ = false;
    int wheelRest_ = 0;
};

}  // namespace ui
