#include "ui/view.h"

#include "ui/frame.h"
#include "kesh/handles.h"

namespace ui {

bool View::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateEx(0, nullptr, L"", style, rect, parent ? parent->handle() : nullptr, id);
}

const MessageMap* View::GetMessageMap() const
{
    static const MessageMap map(nullptr, {
        ui::OnMessage(WM_PAINT, &View::OnPaint),
        ui::OnMessage(WM_INITIALUPDATE, &View::OnInitialUpdateMessage),
    });
    return &map;
}

void View::OnPrepareDC(HDC) {}

LRESULT View::OnPaint(WPARAM, LPARAM)
{
    kesh::win::PaintDC dc(handle());
    OnPrepareDC(dc);
    OnDraw(dc);
    return 0;
}

LRESULT View::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

CFrameWnd* View::ParentFrame() const
{
    for (HWND hwnd = ::GetParent(handle()); hwnd; hwnd = ::GetParent(hwnd))
        if (CFrameWnd* frame = dynamic_cast<CFrameWnd*>(CWnd::ObjectOf(hwnd)))
            return frame;
    return nullptr;
}

}  // namespace ui
