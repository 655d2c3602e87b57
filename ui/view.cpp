#include "ui/view.h"

#include "ui/frame.h"
#include "ui/gdi.h"

namespace ui {

bool CView::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateEx(0, nullptr, L"", style, rect, parent ? parent->m_hWnd : nullptr, id);
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
    CPaintDC dc(m_hWnd);
    OnPrepareDC(dc);
    OnDraw(dc);
    return 0;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

CFrameWnd* CView::GetParentFrame() const
{
    for (HWND hwnd = ::GetParent(m_hWnd); hwnd; hwnd = ::GetParent(hwnd))
        if (CFrameWnd* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(hwnd)))
            return frame;
    return nullptr;
}

}  // namespace ui
