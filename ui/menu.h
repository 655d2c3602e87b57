#pragma once

#include <windows.h>

#include <utility>

namespace ui {

// A menu loaded from the program's resources, destroyed with the object.
class CMenu {
public:
    CMenu() = default;
    ~CMenu()
    {
        if (m_hMenu)
            DestroyMenu(m_hMenu);
    }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    bool LoadMenu(UINT id);
    HMENU Detach() { return std::exchange(m_hMenu, nullptr); }
    // A pop-up of this menu; it belongs to the menu.
    HMENU GetSubMenu(int position) const { return ::GetSubMenu(m_hMenu, position); }

    HMENU m_hMenu = nullptr;
};

}  // namespace ui
