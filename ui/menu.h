#pragma once

#include "kesh/handles.h"

namespace ui {

// A menu loaded from the program's resources, destroyed with the object.
class Menu {
public:
    bool LoadMenu(UINT id);
    HMENU Detach() { return handle_.Detach(); }
    // A pop-up of this menu; it belongs to the menu.
    HMENU GetSubMenu(int position) const { return ::GetSubMenu(handle_, position); }
    HMENU handle() const { return handle_; }

private:
    kesh::win::MenuHandle handle_;
};

}  // namespace ui
