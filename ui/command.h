#pragma once

#include "ui/message_map.h"

#include <string>

namespace ui {

// Something that handles commands through its message table.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;

    // Offers command id with notification code (0 for menus, accelerators
    // and clicks; kUpdateCode with update set for the update
    // handler). True when a handler took it. With queryOnly nothing is
    // called: the result says whether a handler exists.
    virtual bool OnCmdMsg(UINT id, int code, CommandState* update, bool queryOnly = false);

protected:
    virtual const MessageMap* GetMessageMap() const { return nullptr; }

    // The handler of a window message in this object's tables, or null.
    const MessageEntry* FindMessage(UINT message) const;
    const MessageEntry* FindNotify(int code, UINT id) const;
};

// The state an update handler gives one command: a menu item, a toolbar
// button, or (for a command about to run) nothing but the answer.
class CommandState {
public:
    enum Sink { None, MenuItem, ToolbarButton };

    explicit CommandState(UINT id) : id_(id) {}
    CommandState(UINT id, HMENU menu, UINT index) : id_(id), menu_(menu), index_(index), sink_(MenuItem) {}
    CommandState(UINT id, HWND toolbar) : id_(id), toolbar_(toolbar), sink_(ToolbarButton) {}

    void Enable(bool on = true);
    // 0 unchecked, 1 checked.
    void SetCheck(int check = 1);
    // Menu items only.
    void SetText(const wchar_t* text);

    // Asks target's update handler; when there is none, or it does not
    // call Enable, and disableUnhandled is set, the command is enabled
    // exactly when some handler would run it. True when an update handler
    // ran.
    bool DoUpdate(CommandTarget& target, bool disableUnhandled);

    bool enabled() const { return enabled_; }
    UINT id() const { return id_; }
    // The menu of the item and its position, when the state is a menu
    // item's; else null.
    HMENU menu() const { return menu_; }
    UINT index() const { return index_; }

private:
    const UINT id_;
    const HMENU menu_ = nullptr;
    const UINT index_ = 0;
    const HWND toolbar_ = nullptr;
    Sink sink_ = None;
    bool enabled_ = true;
    bool enableSet_ = false;  // Enable was called during this update
};

}  // namespace ui
