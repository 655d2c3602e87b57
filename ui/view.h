#pragma once

#include "ui/window.h"

namespace ui {

class CFrameWnd;

// A child window that paints through OnDraw and takes part in the frame's
// command routing while it is the active view.
class CView : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // After the frame is set up (WM_INITIALUPDATE); the base does nothing.
    virtual void OnInitialUpdate() {}
    virtual void OnDraw(HDC dc) = 0;
    // Sets up dc before OnDraw; the base does nothing.
    virtual void OnPrepareDC(HDC dc);

    // The frame window this view lives in, or null.
    CFrameWnd* ParentFrame() const;

protected:
    const MessageMap* GetMessageMap() const override;
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
};

}  // namespace ui
