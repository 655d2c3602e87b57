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

RECT ClampToWorkArea(POINT wanted, SIZE size, const RECT& workArea)
{
    // In 64 bits: a corner near the integer limits plus the size, or its
    // distance to the area, does not fit in 32.
    const long long areaLeft = static_cast<long long>(workArea.left) - kWorkAreaSlack;
    const long long areaTop = static_cast<long long>(workArea.top) - kWorkAreaSlack;
    const long long areaRight = static_cast<long long>(workArea.right) + kWorkAreaSlack;
    const long long areaBottom = static_cast<long long>(workArea.bottom) + kWorkAreaSlack;
    long long left = wanted.x;
    long long top = wanted.y;
    if (left < areaLeft)
        left = areaLeft;
    if (top < areaTop)
        top = areaTop;
    if (left + size.cx > areaRight)
        left = areaRight - size.cx;
    if (top + size.cy > areaBottom)
        top = areaBottom - size.cy;
    // Now within the area's reach of the screen: back in 32 bits.
    return RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(left + size.cx),
                static_cast<LONG>(top + size.cy)};
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
