#include "ui/toolbar.h"

#include "ui/resource_ids.h"
#include "ui/strings.h"

#include <vector>

namespace ui {

const MessageMap* CToolBar::GetMessageMap() const
{
    static const MessageMap map(nullptr, {
        ui::OnMessage(IdleUpdateMessage(), &CToolBar::OnIdleUpdate),
    });
    return &map;
}

bool CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, RECT, UINT id)
{
    DWORD windowStyle = (style & 0xFFFF0000u) | (ctrlStyle & 0xFFFFu);
    if (style & CBRS_TOOLTIPS)
        windowStyle |= TBSTYLE_TOOLTIPS;
    const RECT none = {};
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEW, nullptr, windowStyle, none, parent->handle(), id))
        return false;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return true;
}

bool CToolBar::LoadToolBar(UINT id)
{
    const HINSTANCE instance = ResourceInstance();
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(RT_TOOLBAR_LAYOUT));
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const WORD* data = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    const DWORD size = found ? SizeofResource(instance, found) : 0;
    if (!data || size < 8 || data[0] != 1)
        return false;
    const WORD width = data[1];
    const WORD height = data[2];
    const WORD count = data[3];
    if (size < 8u + 2u * count)
        return false;

    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (WORD i = 0; i < count; ++i) {
        TBBUTTON b = {};
        const WORD command = data[4 + i];
        if (command == 0) {
            b.fsStyle = BTNS_SEP;
        } else {
            b.idCommand = command;
            b.iBitmap = image++;
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(b);
    }
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
    if (FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2) /* RT_BITMAP */)) {
        TBADDBITMAP bitmap = {instance, id};
        SendMessage(TB_ADDBITMAP, static_cast<WPARAM>(image), reinterpret_cast<LPARAM>(&bitmap));
    }
    // Remove what an earlier load put there.
    while (SendMessage(TB_BUTTONCOUNT) > 0)
        SendMessage(TB_DELETEBUTTON, 0);
    return SendMessage(TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())) != FALSE;
}

int CToolBar::ButtonCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }

UINT CToolBar::CommandAt(int index) const
{
    TBBUTTON b = {};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b)))
        return 0;
    return (b.fsStyle & BTNS_SEP) ? 0 : static_cast<UINT>(b.idCommand);
}

int CToolBar::IndexOf(UINT id) const { return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, id)); }

bool CToolBar::AddButtonStyle(UINT id, BYTE style)
{
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_STYLE;
    if (SendMessage(TB_GETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info)) < 0)
        return false;
    info.fsStyle = static_cast<BYTE>(info.fsStyle | style);
    return SendMessage(TB_SETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

void CToolBar::SetExtendedStyle(DWORD style) { SendMessage(TB_SETEXTENDEDSTYLE, 0, style); }

void CToolBar::UpdateButtons(CommandTarget& target, bool disableUnhandled)
{
    const int count = ButtonCount();
    for (int i = 0; i < count; ++i) {
        const UINT id = CommandAt(i);
        if (id == 0)
            continue;
        CommandState state(id, handle());
        state.DoUpdate(target, disableUnhandled);
    }
}

LRESULT CToolBar::OnIdleUpdate(WPARAM, LPARAM)
{
    // Commands of the buttons go to the parent; so do their states.
    if (CWnd* parent = CWnd::ObjectOf(GetParent()))
        UpdateButtons(*parent, true);
    return 0;
}

}  // namespace ui
