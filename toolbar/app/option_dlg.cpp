#include "toolbar/app/option_dlg.h"

#include "toolbar/resource.h"
#include "ui/data_exchange.h"

COptionDlg::COptionDlg(HWND parent) : ui::CDialog(IDD_OPTIONS, parent) {}

void COptionDlg::DoDataExchange(ui::DataExchange* dx)
{
    ui::ExchangeCheck(dx, IDC_OPTION_AUTORUN, autoRun);
    ui::ExchangeCheck(dx, IDC_OPTION_HIDE, hideWhenCapture);
    ui::BindControl(dx, IDC_OPTION_HOTKEY, hotKey_);
}

bool COptionDlg::OnInitDialog()
{
    ui::CDialog::OnInitDialog();
    hotKey_.SetHotKey(virtualKey, modifiers);
    return true;
}

void COptionDlg::OnOK()
{
    hotKey_.GetHotKey(virtualKey, modifiers);
    ui::CDialog::OnOK();
}
