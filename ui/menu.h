#pragma once

#include <windows.h>

#include <utility>

namespace ui {

// A menu loaded from the program's resources, destroyed with the object.
class Menu {
public:
    Menu() = default;
    ~Menu()
    {
        if (handle_)
            DestroyMenu(handle_);
    }
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    bool LoadMenu(UINT id);
    HMENU Detach() { return std::exchange(handle_, nullptr); }
    // A pop-up of this menu; it belongs to the menu.
    HMENU GetSubMenu(int position) const { return ::GetSubMenu(handle_, position); }
    HMENU handle() const { return handle_; }

private:
    HMENU handle_ = nullptr;
};

}  // namespace ui
