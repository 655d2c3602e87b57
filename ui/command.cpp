#include "ui/command.h"

#include <commctrl.h>

namespace ui {

namespace {
bool inRange(const MessageEntry& e, UINT id) { return id >= e.firstId && id <= e.lastId; }
}  // namespace

bool CommandTarget::OnCmdMsg(UINT id, int code, CommandState* update, bool queryOnly)
{
    for (const MessageMap* map = GetMessageMap(); map; map = map->base()) {
        for (const MessageEntry& e : map->entries()) {
            if (!inRange(e, id))
                continue;
            WPARAM w = 0;
            LPARAM l = 0;
            switch (e.kind) {
            case MessageEntry::Update:
            case MessageEntry::UpdateRange:
                if (code != kUpdateCode)
                    continue;
                l = reinterpret_cast<LPARAM>(update);
                break;
            // Menus and accelerators arrive as code 0 (RouteCommand drops
            // the accelerator's 1), clicks are BN_CLICKED (0); a control's
            // code 1 is a notification such as CBN_SELCHANGE.
            case MessageEntry::Command:
                if (code != 0)
                    continue;
                break;
            case MessageEntry::CommandRange:
                if (code != 0)
                    continue;
                w = id;
                break;
            case MessageEntry::Control:
                if (code != e.code)
                    continue;
                break;
            default:
                continue;
            }
            if (!queryOnly)
                e.call(*this, w, l);
            return true;
        }
    }
    return false;
}

const MessageEntry* CommandTarget::FindMessage(UINT message) const
{
    for (const MessageMap* map = GetMessageMap(); map; map = map->base())
        for (const MessageEntry& e : map->entries())
            if (e.kind == MessageEntry::Message && e.message == message)
                return &e;
    return nullptr;
}

const MessageEntry* CommandTarget::FindNotify(int code, UINT id) const
{
    for (const MessageMap* map = GetMessageMap(); map; map = map->base())
        for (const MessageEntry& e : map->entries())
            if (e.kind == MessageEntry::Notify && e.code == code && inRange(e, id))
                return &e;
    return nullptr;
}

void CommandState::Enable(bool on)
{
    enabled_ = on;
    enableSet_ = true;
    if (sink_ == MenuItem)
        EnableMenuItem(menu_, index_, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
    else if (sink_ == ToolbarButton)
        ::SendMessageW(toolbar_, TB_ENABLEBUTTON, id_, MAKELPARAM(on ? TRUE : FALSE, 0));
}

void CommandState::SetCheck(int check)
{
    if (sink_ == MenuItem)
        CheckMenuItem(menu_, index_, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
    else if (sink_ == ToolbarButton)
        ::SendMessageW(toolbar_, TB_CHECKBUTTON, id_, MAKELPARAM(check ? TRUE : FALSE, 0));
}

void CommandState::SetText(const wchar_t* text)
{
    if (sink_ != MenuItem)
        return;
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text);
    SetMenuItemInfoW(menu_, index_, TRUE, &info);
}

bool CommandState::DoUpdate(CommandTarget& target, bool disableUnhandled)
{
    enableSet_ = false;
    const bool updated = target.OnCmdMsg(id_, kUpdateCode, this);
    // A handler that only ticks the item leaves its enabling to the rule:
    // else an item disabled while nobody handled it stays disabled.
    if (disableUnhandled && !enableSet_)
        Enable(target.OnCmdMsg(id_, 0, nullptr, true));
    return updated;
}

}  // namespace ui
