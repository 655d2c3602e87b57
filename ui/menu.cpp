#include "ui/menu.h"

#include "ui/strings.h"

namespace ui {

bool Menu::LoadMenu(UINT id)
{
    if (handle_)
        DestroyMenu(handle_);
    handle_ = ::LoadMenuW(ResourceInstance(), MAKEINTRESOURCEW(id));
    return handle_ != nullptr;
}

}  // namespace ui
