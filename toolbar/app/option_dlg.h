#pragma once

#include "ui/controls.h"
#include "ui/dialog.h"

// The options dialog (dialog 103, "Norpa 选项"): start at login, hiding
// while capturing and the capture hot key. The caller fills the fields,
// runs it, and on IDOK reads them back.
class COptionDlg : public ui::CDialog {
public:
    explicit COptionDlg(HWND parent);

    int autoRun = 0;
    int hideWhenCapture = 0;
    // The hot key in the hot-key control's form: a virtual key and
    // HOTKEYF_ flags; both 0 for none.
    WORD virtualKey = 0;
    WORD modifiers = 0;

    void DoDataExchange(ui::DataExchange* dx) override;
    bool OnInitDialog() override;
    void OnOK() override;

private:
    ui::CHotKeyCtrl hotKey_;
};
