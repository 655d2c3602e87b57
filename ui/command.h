#pragma once

#include "ui/message_map.h"

#include <string>

namespace ui {

// Something that handles commands through its message table.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Offers command id with notification code (0 for menus, accelerators
    // and clicks; CN_UPDATE_COMMAND_UI with update set for the update
    // handler). True when a handler took it. With queryOnly nothing is
    // called: the result says whether a handler exists.
    virtual bool OnCmdMsg(UINT id, int code, CCmdUI* update, bool queryOnly = false);

protected:
    virtual const MessageMap* GetMessageMap() const { return nullptr; }

    // The handler of a window message in this object's tables, or null.
    const MessageEntry* FindMessage(UINT message) const;
    const MessageEntry* FindNotify(int code, UINT id) const;
};

// The state an update handler gives one command: a menu item, a toolbar
// button, or (for a command about to run) nothing but the answer.
class CCmdUI {
public:
    enum Sink { None, MenuItem, ToolbarButton };

    explicit CCmdUI(UINT id) : m_nID(id) {}
    CCmdUI(UINT id, HMENU menu, UINT index) : m_nID(id), m_pMenu(menu), m_nIndex(index), sink_(MenuItem) {}
    CCmdUI(UINT id, HWND toolbar) : m_nID(id), m_hToolbar(toolbar), sink_(ToolbarButton) {}

    void Enable(bool on = true);
    // 0 unchecked, 1 checked.
    void SetCheck(int check = 1);
    // Menu items only.
    void SetText(const wchar_t* text);

    // Asks target's update handler; when there is none and
    // disableUnhandled is set, the command is disabled unless some handler
    // would run it. True when an update handler ran.
    bool DoUpdate(CCmdTarget& target, bool disableUnhandled);

    bool enabled() const { return enabled_; }

    const UINT m_nID;
    const HMENU m_pMenu = nullptr;  // the menu of the item, when it is one
    const UINT m_nIndex = 0;
    const HWND m_hToolbar = nullptr;

private:
    Sink sink_ = None;
    bool enabled_ = true;
};

}  // namespace ui
