#include "common_ui/about_dlg.h"

#include "common/about_ids.h"
#include "common/version_info.h"
#include "ui/shell_seams.h"
#include "ui/strings.h"

CAboutDlg::CAboutDlg(HWND parent) : ui::CDialog(IDD_ABOUTBOX, parent) {}

const ui::MessageMap* CAboutDlg::GetMessageMap() const
{
    static const ui::MessageMap map(ui::CDialog::GetMessageMap(), {
        ui::OnControl(BN_CLICKED, IDC_ABOUT_WEBSITE, &CAboutDlg::OnBnClickedWebsite),
    });
    return &map;
}

bool CAboutDlg::OnInitDialog()
{
    const bool result = ui::CDialog::OnInitDialog();
    VS_FIXEDFILEINFO version = {};
    ReadOwnFileVersion(version);
    const std::wstring text = ProductVersionText(ui::LoadResString(IDS_VERSION_FORMAT), version);
    SetDlgItemText(IDC_ABOUT_VERSION, text.c_str());
    return result;
}

std::wstring CAboutDlg::WebsiteAddress()
{
    const std::wstring address = ui::LoadResString(IDS_WEBSITE_ADDRESS);
    return address.empty() ? std::wstring(kProductWebsite) : address;
}

void CAboutDlg::OnBnClickedWebsite()
{
    const std::wstring address = WebsiteAddress();
    ui::Shell().ShellExecute(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
