#include "ui/menu.h"

#include "ui/strings.h"

namespace ui {

bool CMenu::LoadMenu(UINT id)
{
    if (m_hMenu)
        DestroyMenu(m_hMenu);
    m_hMenu = ::LoadMenuW(ResourceInstance(), MAKEINTRESOURCEW(id));
    return m_hMenu != nullptr;
}

}  // namespace ui
