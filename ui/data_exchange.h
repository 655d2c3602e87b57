#pragma once

#include "kesh/string.h"

#include <windows.h>

#include <string>

namespace ui {

class CWnd;

// One run of a window's DoDataExchange: towards the controls (save false)
// or towards the fields with validation (save true). After the first
// failure every later exchange of the run does nothing.
class CDataExchange {
public:
    CDataExchange(CWnd* wnd, bool save) : m_pDlgWnd(wnd), m_bSaveAndValidate(save) {}

    // The control id, remembered as the one a failure puts the focus on.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // Shows message (framework message box) and marks the run failed; the
    // focus goes to the last prepared control, an edit's text selected.
    void Fail(const std::wstring& message);
    bool failed() const { return failed_; }

    CWnd* const m_pDlgWnd;
    const bool m_bSaveAndValidate;

private:
    HWND lastControl_ = nullptr;
    bool lastWasEdit_ = false;
    bool failed_ = false;
};

// Text of control id as an int; a text that is no integer fails with the
// framework's integer message and leaves value unchanged.
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, std::wstring& value);
void DDX_Text(CDataExchange* dx, int id, kesh::String& value);
// Check box state: 0, 1 or 2 (indeterminate).
void DDX_Check(CDataExchange* dx, int id, int& value);
// Binds control (once) to the dialog's control id.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// When saving: value (already stored by the DDX_Text before it) must lie in
// min..max, else the range message with both numbers.
void DDV_MinMaxInt(CDataExchange* dx, int value, int min, int max);

// Whole-text integer parse: optional blanks, an optional sign, decimal
// digits, optional blanks; false on anything else or on overflow.
bool ParseInt(const std::wstring& text, int& value);

}  // namespace ui
