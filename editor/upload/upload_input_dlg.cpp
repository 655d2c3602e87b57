#include "editor/upload/upload_input_dlg.h"

#include "editor/resource.h"
#include "editor/upload/upload_input_rules.h"
#include "kesh/file.h"
#include "ui/data_exchange.h"

CUploadInputDlg::CUploadInputDlg(HWND parent) : CDialog(IDD_UPLOAD_INPUT, parent) {}

void CUploadInputDlg::DoDataExchange(ui::DataExchange* dx)
{
    ui::ExchangeText(dx, IDC_UPLOAD_DESCRIPTION, description);
    ui::ExchangeText(dx, IDC_UPLOAD_SIGNATURE, signature);
}

bool CUploadInputDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_UPLOAD_IMAGE_SIZE, ImageSizeLine(kesh::fs::size(imagePath), width, height).c_str());
    return true;
}
