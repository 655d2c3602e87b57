#pragma once

#include "editor/view/pen_value_rules.h"
#include "ui/controls.h"
#include "ui/dialog.h"

// A modal dialog that asks for one whole number from 1 to 100 in an edit
// with an up-down control. Set value before DoModal; after IDOK it holds the
// number typed. Cancel leaves it as it was set.
class CPenValueDlg : public ui::CDialog {
public:
    CPenValueDlg(const PenValueDialogIds& ids, HWND parent);

    int value;

    void DoDataExchange(ui::DataExchange* dx) override;
    bool OnInitDialog() override;

private:
    const PenValueDialogIds& ids_;
    ui::CSpinButtonCtrl spin_;
};

// The custom pencil width in pixels (IDD_PENCIL_WIDTH, "自定粗细").
class CPencilWidthDlg : public CPenValueDlg {
public:
    explicit CPencilWidthDlg(HWND parent = nullptr) : CPenValueDlg(kPencilWidthDialog, parent) {}
};

// The custom mosaic strength (IDD_MOSAIC_STRENGTH, "自定强度").
class CMosaicStrengthDlg : public CPenValueDlg {
public:
    explicit CMosaicStrengthDlg(HWND parent = nullptr) : CPenValueDlg(kMosaicStrengthDialog, parent) {}
};
