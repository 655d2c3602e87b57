#pragma once

#include "ui/toolbar.h"

// The main frame's toolbar. A flat toolbar lets its parent paint behind
// the buttons, and the frame's background is the dark colour that shows
// while no image is open; this bar paints its own face instead, with a
// line along its bottom edge that parts it from the view.
class FrameToolBar : public ui::CToolBar {
protected:
    const ui::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
};
