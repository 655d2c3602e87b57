#pragma once

#include "kesh/string.h"

#include <windows.h>

#include <string>

namespace ui {

class CWnd;

// One run of a window's DoDataExchange: towards the controls (save false)
// or towards the fields with validation (save true). After the first
// failure every later exchange of the run does nothing.
class DataExchange {
public:
    DataExchange(CWnd* wnd, bool save) : window_(wnd), saving_(save) {}

    // The control id, remembered as the one a failure puts the focus on.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // Shows message (framework message box) and marks the run failed; the
    // focus goes to the last prepared control, an edit's text selected.
    void Fail(const std::wstring& message);
    bool failed() const { return failed_; }
    CWnd* window() const { return window_; }
    // True when the fields are being filled from the controls.
    bool saving() const { return saving_; }

private:
    CWnd* const window_;
    const bool saving_;
    HWND lastControl_ = nullptr;
    bool lastWasEdit_ = false;
    bool failed_ = false;
};

// Text of control id as an int; a text that is no integer fails with the
// framework's integer message and leaves value unchanged.
void ExchangeText(DataExchange* dx, int id, int& value);
void ExchangeText(DataExchange* dx, int id, std::wstring& value);
void ExchangeText(DataExchange* dx, int id, kesh::String& value);
// Check box state: 0, 1 or 2 (indeterminate).
void ExchangeCheck(DataExchange* dx, int id, int& value);
// Binds control (once) to the dialog's control id.
void BindControl(DataExchange* dx, int id, CWnd& control);
// When saving: value (already stored by the ExchangeText before it) must lie in
// min..max, else the range message with both numbers.
void CheckIntRange(DataExchange* dx, int value, int min, int max);

// Whole-text integer parse: optional blanks, an optional sign, decimal
// digits, optional blanks; false on anything else or on overflow.
bool ParseInt(const std::wstring& text, int& value);

}  // namespace ui
