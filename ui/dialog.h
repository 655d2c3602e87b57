#pragma once

#include "ui/window.h"

namespace ui {

// A dialog from a resource template, modal (DoModal, with the framework's
// own loop) or modeless (Create).
class CDialog : public CWnd {
public:
    // parent null: the application's main window (modal) or none
    // (modeless).
    explicit CDialog(UINT templateId, HWND parent = nullptr);

    // IDOK, IDCANCEL, the EndDialog result; -1 when the dialog could not be
    // made or a WM_QUIT ended the loop (it is posted again for the outer
    // loop).
    virtual INT_PTR DoModal();
    bool Create(HWND parent = nullptr);

    // The first call decides the result; later calls (such as one from the
    // WM_KILLFOCUS that ending itself causes) change nothing.
    void EndDialog(int result);
    bool IsEnded() const { return ended_; }

    // Default: UpdateData(false), then true (the system focuses the first
    // control). A top-level dialog that is still hidden and that
    // OnInitDialog leaves where its template put it is then centred over its
    // owner (CenterWindow), as users expect of a dialog.
    virtual bool OnInitDialog();
    // Default: UpdateData(true); on success EndDialog(IDOK).
    virtual void OnOK();
    // Default: EndDialog(IDCANCEL).
    virtual void OnCancel();

    // Keyboard messages for the dialog and its controls go to
    // IsDialogMessage (Tab, Enter, Esc).
    bool PreTranslateMessage(MSG* msg) override;
    bool OnCmdMsg(UINT id, int code, CommandState* update, bool queryOnly = false) override;

    UINT templateId() const { return templateId_; }

protected:
    const MessageMap* GetMessageMap() const override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    HWND ownerFor(HWND parent) const;
    LRESULT onInitDialogMessage(WPARAM, LPARAM);
    void onOkCommand() { OnOK(); }
    void onCancelCommand() { OnCancel(); }

    UINT templateId_;
    HWND parent_;
    // The owner this dialog's modal run disabled, to be enabled again at its
    // end; null when the owner was disabled already (by an outer modal run).
    HWND disabledOwner_ = nullptr;
    bool modal_ = false;
    bool ended_ = false;
    int result_ = -1;
};

}  // namespace ui
