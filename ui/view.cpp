#include "ui/view.h"

#include "ui/frame.h"
#include "kesh/handles.h"

namespace ui {

bool CView::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateEx(0, nullptr, L"", style, rect, parent ? parent->handle() : nullptr, id);
}

const MessageMap* CView::GetMessageMap() const
{
    static const MessageMap map(nullptr, {
        ui::OnMessage(WM_PAINT, &CView::OnPaint),
        ui::OnMessage(WM_INITIALUPDATE, &CView::OnInitialUpdateMessage),
    });
    return &map;
}

void CView::OnPrepareDC(HDC) {}

LRESULT CView::OnPaint(WPARAM, LPARAM)
{
    kesh::win::PaintDC dc(handle());
    OnPrepareDC(dc);
    OnDraw(dc);
    return 0;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

CFrameWnd* CView::ParentFrame() const
{
    for (HWND hwnd = ::GetParent(handle()); hwnd; hwnd = ::GetParent(hwnd))
        if (CFrameWnd* frame = dynamic_cast<CFrameWnd*>(CWnd::ObjectOf(hwnd)))
            return frame;
    return nullptr;
}

}  // namespace ui
