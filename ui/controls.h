#pragma once

#include "ui/window.h"

#include <commctrl.h>

#include <string>

// Thin wrappers of the common controls the programs use. A wrapper is bound
// to a dialog's control with BindControl (or SubclassChild) or made with
// CWnd::CreateEx and the control's class.
namespace ui {

class CButton : public CWnd {
public:
    // An owner-drawn button (BS_OWNERDRAW) bound to this object draws
    // itself here: its parent's WM_DRAWITEM comes back to the button
    // unless the parent's own table handles it. The base draws nothing.
    virtual void DrawItem(DRAWITEMSTRUCT*) {}

    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    void SetButtonStyle(UINT style, bool redraw = true) { SendMessage(BM_SETSTYLE, style, redraw); }
};

class CEdit : public CWnd {
public:
    void SetSel(int start, int end) { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
};

class CComboBox : public CWnd {
public:
    int AddString(const wchar_t* text) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    DWORD_PTR GetItemData(int index) const { return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index))); }
    int SetItemData(int index, DWORD_PTR data) { return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data))); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    std::wstring GetLBText(int index) const
    {
        const LRESULT length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
        if (length < 0)
            return std::wstring();
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(static_cast<size_t>(length));
        return text;
    }
};

class CSliderCtrl : public CWnd {
public:
    int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
    void SetPos(int pos, bool redraw = true) { SendMessage(TBM_SETPOS, redraw, pos); }
    void SetRange(int min, int max, bool redraw = false)
    {
        SendMessage(TBM_SETRANGEMIN, FALSE, min);
        SendMessage(TBM_SETRANGEMAX, redraw, max);
    }
};

class CSpinButtonCtrl : public CWnd {
public:
    // UDM_SETRANGE packs upper in the low word and lower in the high word.
    void SetRange(short lower, short upper) { SendMessage(UDM_SETRANGE, 0, MAKELPARAM(upper, lower)); }
    void SetRange32(int lower, int upper) { SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    int GetPos32() const { return static_cast<int>(SendMessage(UDM_GETPOS32)); }
    void SetPos32(int pos) { SendMessage(UDM_SETPOS32, 0, pos); }
};

class CProgressCtrl : public CWnd {
public:
    void SetRange32(int lower, int upper) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    int SetPos(int pos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos))); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
};

class CHotKeyCtrl : public CWnd {
public:
    // Virtual key and HOTKEYF_ modifiers.
    void SetHotKey(WORD virtualKey, WORD modifiers) { SendMessage(HKM_SETHOTKEY, MAKEWORD(virtualKey, modifiers)); }
    void GetHotKey(WORD& virtualKey, WORD& modifiers) const
    {
        const LRESULT value = SendMessage(HKM_GETHOTKEY);
        virtualKey = LOBYTE(LOWORD(value));
        modifiers = HIBYTE(LOWORD(value));
    }
};

// A tooltip window; tools are windows (TTF_IDISHWND) with fixed texts.
class CToolTipCtrl : public CWnd {
public:
    bool Create(CWnd* parent, DWORD style = 0)
    {
        const RECT none = {};
        if (!CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, none, parent->handle(), 0))
            return false;
        SetWindowPos(handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return true;
    }
    bool AddTool(CWnd* tool, const wchar_t* text, UINT flags = TTF_IDISHWND | TTF_SUBCLASS)
    {
        TOOLINFOW info = ToolInfo(tool->handle(), flags);
        info.lpszText = const_cast<wchar_t*>(text);
        return SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
    }
    void UpdateTipText(const wchar_t* text, CWnd* tool)
    {
        TOOLINFOW info = ToolInfo(tool->handle(), TTF_IDISHWND);
        info.lpszText = const_cast<wchar_t*>(text);
        SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    }
    void RelayEvent(MSG* msg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
    int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }

private:
    TOOLINFOW ToolInfo(HWND tool, UINT flags) const
    {
        TOOLINFOW info = {};
        info.cbSize = sizeof(info);  // the x64 size; a smaller one is refused
        info.uFlags = flags;
        info.hwnd = ::GetParent(tool);
        info.uId = reinterpret_cast<UINT_PTR>(tool);
        return info;
    }
};

}  // namespace ui
