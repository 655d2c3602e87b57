#include "ui/menu.h"

#include "ui/strings.h"

namespace ui {

bool Menu::LoadMenu(UINT id)
{
    handle_.Attach(::LoadMenuW(ResourceInstance(), MAKEINTRESOURCEW(id)));
    return handle_.isValid();
}

}  // namespace ui
