#pragma once

#include <windows.h>

#include <vector>

// The toolbar window's rules, free of windows so that tables can test them:
// where it may stand, how its stored hot key is registered, where its menu
// opens and when it puts itself on top again.

// --- Hot key --------------------------------------------------------------
// The stored hot key keeps the hot-key control's form: the virtual key in
// the low 16 bits, the HOTKEYF_ modifier flags in the high 16 bits; 0 is no
// hot key.
DWORD PackHotKey(WORD virtualKey, WORD modifiers);
WORD HotKeyVirtualKey(DWORD hotKey);
WORD HotKeyModifiers(DWORD hotKey);

// The hot-key control's HOTKEYF_ flags as RegisterHotKey's MOD_ flags:
// Shift, Ctrl and Alt change places (the two sets number them differently);
// HOTKEYF_EXT only marks an extended key and is dropped.
UINT RegistrationModifiers(WORD hotKeyFlags);

// --- Position ---------------------------------------------------------------
// How far the toolbar may stand beyond each edge of the work area.
constexpr int kWorkAreaSlack = 4;

// The rectangle of size whose top-left corner is wanted, moved (never
// resized) into the work area grown by kWorkAreaSlack: left, top, right,
// bottom edges are tested in this order, so a rectangle larger than the area
// ends flush with its right or bottom edge. Any corner, up to the integer
// limits (a damaged stored position), ends in the area.
RECT ClampToWorkArea(POINT wanted, SIZE size, const RECT& workArea);

// --- Menu -------------------------------------------------------------------
// Where the toolbar's menu opens: at the toolbar's left edge, below it when
// the work area has more room below the toolbar than above it, else above
// it (the menu's bottom at the toolbar's top). The anchor alone keeps the
// menu off the toolbar, also where the system ignores the exclusion
// rectangle.
struct MenuAnchor {
    int x;
    int y;
    UINT flags;  // TPM_ alignment flags to add to TPM_VERTICAL
};
MenuAnchor ContextMenuAnchor(const RECT& toolbar, const RECT& workArea);

// --- Staying on top ----------------------------------------------------------
// A window above the toolbar in z-order, nearest first.
struct WindowAbove {
    bool visible;
    bool otherProcess;  // not one of the toolbar's own windows
    RECT rect;
};
// Whether the toolbar must put itself on top again: when some visible window
// of another process lies above it, unless a full-screen one (exactly the
// screen's rectangle) is met first: a film or a game is left alone.
bool ShouldRaiseToolbar(const std::vector<WindowAbove>& above, int screenWidth, int screenHeight);
