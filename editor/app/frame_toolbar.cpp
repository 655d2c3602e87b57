#include "editor/app/frame_toolbar.h"

const ui::MessageMap* FrameToolBar::GetMessageMap() const
{
    static const ui::MessageMap map(ui::CToolBar::GetMessageMap(), {
        ui::OnMessage(WM_ERASEBKGND, &FrameToolBar::OnEraseBkgnd),
    });
    return &map;
}

LRESULT FrameToolBar::OnEraseBkgnd(WPARAM w, LPARAM)
{
    HDC dc = reinterpret_cast<HDC>(w);
    RECT face = GetClientRect();
    RECT border = face;
    face.bottom -= 1;
    border.top = face.bottom;
    FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
    FillRect(dc, &border, GetSysColorBrush(COLOR_3DSHADOW));
    return TRUE;
}
