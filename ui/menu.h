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

// Shows popup for owner (TrackPopupMenuEx with these arguments) and returns
// once it is closed, with TrackPopupMenuEx's result. While it is open no
// tooltip of owner's top-level window shows: one already shown goes, and one
// whose delay runs out meanwhile (the pointer came to a button and clicked
// it at once) stays hidden. Each program's menus open through here.
BOOL TrackPopup(HMENU popup, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params = nullptr);

}  // namespace ui
