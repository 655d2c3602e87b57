#include "toolbar/core/toolbar_rules.h"

#include <commctrl.h>

DWORD PackHotKey(WORD virtualKey, WORD modifiers)
{
    return (static_cast<DWORD>(modifiers) << 16) | virtualKey;
}

WORD HotKeyVirtualKey(DWORD hotKey) { return LOWORD(hotKey); }

WORD HotKeyModifiers(DWORD hotKey) { return HIWORD(hotKey); }

UINT RegistrationModifiers(WORD hotKeyFlags)
{
    UINT modifiers = 0;
    if (hotKeyFlags & HOTKEYF_SHIFT)
        modifiers |= MOD_SHIFT;
    if (hotKeyFlags & HOTKEYF_CONTROL)
        modifiers |= MOD_CONTROL;
    if (hotKeyFlags & HOTKEYF_ALT)
        modifiers |= MOD_ALT;
    return modifiers;
}

RECT ClampToWorkArea(const RECT& rect, const RECT& workArea)
{
    RECT area = workArea;
    InflateRect(&area, kWorkAreaSlack, kWorkAreaSlack);
    RECT out = rect;
    if (out.left < area.left)
        OffsetRect(&out, area.left - out.left, 0);
    if (out.top < area.top)
        OffsetRect(&out, 0, area.top - out.top);
    if (out.right > area.right)
        OffsetRect(&out, area.right - out.right, 0);
    if (out.bottom > area.bottom)
        OffsetRect(&out, 0, area.bottom - out.bottom);
    return out;
}

MenuAnchor ContextMenuAnchor(const RECT& toolbar, const RECT& workArea)
{
    const long roomBelow = workArea.bottom - toolbar.bottom;
    const long roomAbove = toolbar.top - workArea.top;
    if (roomBelow > roomAbove)
        return {toolbar.left, toolbar.bottom, TPM_LEFTALIGN | TPM_TOPALIGN};
    return {toolbar.left, toolbar.top, TPM_LEFTALIGN | TPM_BOTTOMALIGN};
}

bool ShouldRaiseToolbar(const std::vector<WindowAbove>& above, int screenWidth, int screenHeight)
{
    bool seen = false;
    for (const WindowAbove& w : above) {
        if (!w.visible || !w.otherProcess)
            continue;
        seen = true;
        if (w.rect.left == 0 && w.rect.top == 0 && w.rect.right == screenWidth && w.rect.bottom == screenHeight)
            return false;
    }
    return seen;
}
