#include "editor/view/pen_value_dlgs.h"

#include "ui/data_exchange.h"

CPenValueDlg::CPenValueDlg(const PenValueDialogIds& ids, HWND parent)
    : CDialog(static_cast<UINT>(ids.templateId), parent), value(ids.initialValue), ids_(ids)
{
}

void CPenValueDlg::DoDataExchange(ui::DataExchange* dx)
{
    ui::ExchangeText(dx, ids_.editId, value);
    ui::CheckIntRange(dx, value, kPenValueMin, kPenValueMax);
    ui::BindControl(dx, ids_.spinId, spin_);
}

bool CPenValueDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    spin_.SendMessage(UDM_SETRANGE, 0, kPenValueSpinRange);
    return true;
}
