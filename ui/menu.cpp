#include "ui/menu.h"

#include "ui/strings.h"

#include <commctrl.h>

#include <vector>

namespace ui {

namespace {

// The tooltips of this thread that belong to root: a tooltip made for a
// control is owned by the control's top-level window.
std::vector<HWND> TooltipsOf(HWND root)
{
    struct Search {
        HWND root;
        std::vector<HWND> found;
    } search = {root, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM l) {
            Search& search = *reinterpret_cast<Search*>(l);
            wchar_t name[32] = {};
            GetClassNameW(hwnd, name, 32);
            if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 && GetWindow(hwnd, GW_OWNER) == search.root)
                search.found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

constexpr UINT_PTR kKeepHiddenId = 1;

// A tooltip shows itself by a move that also shows the window: the move
// still happens, the showing does not. Whatever timer or relayed message
// asks for it, the tip stays hidden.
LRESULT CALLBACK KeepHidden(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR)
{
    if (msg == WM_WINDOWPOSCHANGING)
        reinterpret_cast<WINDOWPOS*>(l)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    return DefSubclassProc(hwnd, msg, w, l);
}

// Keeps the tooltips of a window hidden while it lives.
class QuietTooltips {
public:
    explicit QuietTooltips(HWND owner) : tips_(TooltipsOf(GetAncestor(owner, GA_ROOT)))
    {
        for (HWND tip : tips_) {
            SetWindowSubclass(tip, &KeepHidden, kKeepHiddenId, 0);
            ::SendMessageW(tip, TTM_POP, 0, 0);
            // A tracking tip (a balloon) is not popped.
            if (IsWindowVisible(tip))
                ShowWindow(tip, SW_HIDE);
        }
    }
    ~QuietTooltips()
    {
        for (HWND tip : tips_) {
            if (!IsWindow(tip))
                continue;
            RemoveWindowSubclass(tip, &KeepHidden, kKeepHiddenId);
            // A tip that took itself for shown meanwhile starts afresh.
            ::SendMessageW(tip, TTM_POP, 0, 0);
        }
    }
    QuietTooltips(const QuietTooltips&) = delete;
    QuietTooltips& operator=(const QuietTooltips&) = delete;

private:
    std::vector<HWND> tips_;
};

}  // namespace

bool Menu::LoadMenu(UINT id)
{
    handle_.Attach(::LoadMenuW(ResourceInstance(), MAKEINTRESOURCEW(id)));
    return handle_.isValid();
}

BOOL TrackPopup(HMENU popup, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params)
{
    const QuietTooltips quiet(owner);
    return TrackPopupMenuEx(popup, flags, x, y, owner, const_cast<TPMPARAMS*>(params));
}

}  // namespace ui
