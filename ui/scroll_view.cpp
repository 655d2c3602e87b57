#include "ui/scroll_view.h"

#include <algorithm>

namespace ui {

const MessageMap* CScrollView::GetMessageMap() const
{
    static const MessageMap map(CView::GetMessageMap(), {
        ui::OnMessage(WM_SIZE, &CScrollView::OnSize),
        ui::OnMessage(WM_HSCROLL, &CScrollView::OnHScroll),
        ui::OnMessage(WM_VSCROLL, &CScrollView::OnVScroll),
        ui::OnMessage(WM_MOUSEWHEEL, &CScrollView::OnMouseWheel),
        ui::OnMessage(WM_KEYDOWN, &CScrollView::OnKeyDown),
    });
    return &map;
}

void CScrollView::SetScrollExtent(SIZE total, SIZE page, SIZE line)
{
    total_ = total;
    page_ = page;
    if (page_.cx == 0)
        page_.cx = total_.cx / 10;
    if (page_.cy == 0)
        page_.cy = total_.cy / 10;
    line_ = line;
    if (line_.cx == 0)
        line_.cx = page_.cx / 10;
    if (line_.cy == 0)
        line_.cy = page_.cy / 10;
    UpdateBars();
}

SIZE CScrollView::MaxPosition() const
{
    const RECT client = GetClientRect();
    SIZE max = {std::max<LONG>(0, total_.cx - (client.right - client.left)),
                std::max<LONG>(0, total_.cy - (client.bottom - client.top))};
    return max;
}

void CScrollView::UpdateBars()
{
    if (!handle() || updatingBars_)
        return;
    // Showing or hiding a bar resizes the client area and comes back here
    // through WM_SIZE.
    updatingBars_ = true;
    for (int pass = 0; pass < 2; ++pass) {
        const RECT client = GetClientRect();
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE;
        info.nMin = 0;
        info.nMax = total_.cx > 0 ? total_.cx - 1 : 0;
        info.nPage = static_cast<UINT>(std::max<LONG>(0, client.right - client.left));
        SetScrollInfo(handle(), SB_HORZ, &info, TRUE);
        info.nMax = total_.cy > 0 ? total_.cy - 1 : 0;
        info.nPage = static_cast<UINT>(std::max<LONG>(0, client.bottom - client.top));
        SetScrollInfo(handle(), SB_VERT, &info, TRUE);
    }
    const SIZE max = MaxPosition();
    const POINT kept = {std::min(position_.x, max.cx), std::min(position_.y, max.cy)};
    updatingBars_ = false;
    if (kept.x != position_.x || kept.y != position_.y)
        ScrollTo(kept);
    SetScrollPos(handle(), SB_HORZ, position_.x, TRUE);
    SetScrollPos(handle(), SB_VERT, position_.y, TRUE);
}

void CScrollView::ScrollTo(POINT position)
{
    OnScrollBy(SIZE{position.x - position_.x, position.y - position_.y}, true);
}

bool CScrollView::OnScrollBy(SIZE size, bool doScroll)
{
    const SIZE max = MaxPosition();
    const POINT target = {std::clamp<LONG>(position_.x + size.cx, 0, max.cx),
                          std::clamp<LONG>(position_.y + size.cy, 0, max.cy)};
    if (target.x == position_.x && target.y == position_.y)
        return false;
    if (doScroll) {
        ScrollWindowEx(handle(), position_.x - target.x, position_.y - target.y, nullptr, nullptr, nullptr, nullptr,
                       SW_INVALIDATE | SW_ERASE);
        position_ = target;
        SetScrollPos(handle(), SB_HORZ, position_.x, TRUE);
        SetScrollPos(handle(), SB_VERT, position_.y, TRUE);
    }
    return true;
}

void CScrollView::OnPrepareDC(HDC dc)
{
    SetMapMode(dc, MM_TEXT);
    SetViewportOrgEx(dc, -position_.x, -position_.y, nullptr);
}

LRESULT CScrollView::OnSize(WPARAM, LPARAM)
{
    UpdateBars();
    return CallDefault();
}

LONG CScrollView::ScrollTarget(int bar, UINT code, LONG current, LONG line, LONG page) const
{
    switch (code) {
    case SB_LINEUP:
        return current - line;
    case SB_LINEDOWN:
        return current + line;
    case SB_PAGEUP:
        return current - page;
    case SB_PAGEDOWN:
        return current + page;
    case SB_TOP:
        return 0;
    case SB_BOTTOM:
        return 0x7FFFFFFF / 2;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(handle(), bar, &info);
        return info.nTrackPos;
    }
    default:
        return current;
    }
}

LRESULT CScrollView::OnHScroll(WPARAM w, LPARAM)
{
    const LONG target = ScrollTarget(SB_HORZ, LOWORD(w), position_.x, line_.cx, page_.cx);
    OnScrollBy(SIZE{target - position_.x, 0}, true);
    return 0;
}

LRESULT CScrollView::OnVScroll(WPARAM w, LPARAM)
{
    const LONG target = ScrollTarget(SB_VERT, LOWORD(w), position_.y, line_.cy, page_.cy);
    OnScrollBy(SIZE{0, target - position_.y}, true);
    return 0;
}

LRESULT CScrollView::OnMouseWheel(WPARAM w, LPARAM)
{
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    // Fine wheels send parts of a notch: what is left over waits for more.
    wheelRest_ += GET_WHEEL_DELTA_WPARAM(w);
    const int notches = wheelRest_ / WHEEL_DELTA;
    wheelRest_ -= notches * WHEEL_DELTA;
    if (notches == 0)
        return 0;
    LONG step = 0;
    if (lines == WHEEL_PAGESCROLL)
        step = page_.cy;
    else
        step = std::min<LONG>(static_cast<LONG>(lines) * line_.cy, page_.cy);
    // The bar with a range scrolls: vertical first, else horizontal.
    if (MaxPosition().cy > 0)
        OnScrollBy(SIZE{0, -notches * step}, true);
    else
        OnScrollBy(SIZE{-notches * std::min<LONG>(static_cast<LONG>(lines) * line_.cx, page_.cx), 0}, true);
    return 0;
}

LRESULT CScrollView::OnKeyDown(WPARAM w, LPARAM)
{
    switch (w) {
    case VK_LEFT:
        return SendMessage(WM_HSCROLL, SB_LINEUP);
    case VK_RIGHT:
        return SendMessage(WM_HSCROLL, SB_LINEDOWN);
    case VK_UP:
        return SendMessage(WM_VSCROLL, SB_LINEUP);
    case VK_DOWN:
        return SendMessage(WM_VSCROLL, SB_LINEDOWN);
    case VK_PRIOR:
        return SendMessage(WM_VSCROLL, SB_PAGEUP);
    case VK_NEXT:
        return SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    case VK_HOME:
        return SendMessage(WM_VSCROLL, SB_TOP);
    case VK_END:
        return SendMessage(WM_VSCROLL, SB_BOTTOM);
    default:
        return CallDefault();
    }
}

}  // namespace ui
