#include "toolbar/app/balloon.h"

bool Balloon::Create(ui::CWnd* owner, HWND anchor, const wchar_t* title)
{
    anchor_ = anchor;
    if (!tip_.Create(owner, TTS_BALLOON | TTS_CLOSE | TTS_USEVISUALSTYLE))
        return false;
    tip_.SendMessage(TTM_SETTITLEW, TTI_INFO, reinterpret_cast<LPARAM>(title));
    TOOLINFOW tool = Tool();
    tool.lpszText = const_cast<wchar_t*>(L"");
    return tip_.SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

TOOLINFOW Balloon::Tool() const
{
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_CENTERTIP;
    tool.hwnd = GetDesktopWindow();
    tool.uId = reinterpret_cast<UINT_PTR>(anchor_);
    return tool;
}

void Balloon::Show(const wchar_t* text)
{
    TOOLINFOW tool = Tool();
    tool.lpszText = const_cast<wchar_t*>(text);
    tip_.SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    tip_.SendMessage(TTM_TRACKACTIVATE, FALSE, 0);
    tip_.SendMessage(TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void Balloon::Hide()
{
    TOOLINFOW tool = Tool();
    tip_.SendMessage(TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}
