#include "editor/upload/upload_response_dlg.h"

#include "editor/resource.h"
#include "editor/upload/upload_history.h"
#include "editor/upload/upload_response_rules.h"
#include "kesh/property.h"
#include "kesh/string.h"
#include "kesh/time.h"
#include "ui/data_exchange.h"
#include "ui/shell_seams.h"

namespace {

// The notice after Copy goes after this long; a second Copy restarts it.
constexpr UINT_PTR kNoticeTimer = 1;
constexpr UINT kNoticeMilliseconds = 5000;

using kesh::Wide;

}  // namespace

CUploadResponseDlg::CUploadResponseDlg(HWND parent)
    : CDialog(IDD_UPLOAD_RESPONSE, parent), historyHome(kesh::sys::getProperty("user.home", ""))
{
}

const ui::MessageMap* CUploadResponseDlg::GetMessageMap() const
{
    static const ui::MessageMap map(CDialog::GetMessageMap(), {
        ui::OnControl(BN_CLICKED, IDC_RESPONSE_COPY, &CUploadResponseDlg::OnCopyUrl),
        ui::OnControl(BN_CLICKED, IDC_RESPONSE_OPEN, &CUploadResponseDlg::OnOpenUrl),
        ui::OnControl(CBN_SELCHANGE, IDC_RESPONSE_TITLES, &CUploadResponseDlg::OnSelectTitle),
        ui::OnMessage(WM_TIMER, &CUploadResponseDlg::OnTimer),
    });
    return &map;
}

void CUploadResponseDlg::DoDataExchange(ui::DataExchange* dx)
{
    ui::ExchangeText(dx, IDC_RESPONSE_ADDRESS, address);
    ui::BindControl(dx, IDC_RESPONSE_TITLES, titles_);
    ui::BindControl(dx, IDC_RESPONSE_ADDRESS, addressBox_);
}

bool CUploadResponseDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (unsigned i = 0; i < addresses.size(); ++i)
        titles_.AddString(Wide(addresses.at(i).first).c_str());
    if (titles_.GetCount() == 0) {
        // Nothing to copy or open.
        EnableWindow(GetDlgItem(IDC_RESPONSE_COPY), FALSE);
        EnableWindow(GetDlgItem(IDC_RESPONSE_OPEN), FALSE);
        return true;
    }
    titles_.SetCurSel(0);
    OnSelectTitle();
    WriteUploadHistoryShortcut(historyHome, addresses.at(0).second, kesh::Time::now());
    return true;
}

const kesh::StringPair* CUploadResponseDlg::Selected() const
{
    const int index = titles_.GetCurSel();
    if (index < 0 || static_cast<unsigned>(index) >= addresses.size())
        return nullptr;
    return &addresses.at(static_cast<unsigned>(index));
}

void CUploadResponseDlg::OnSelectTitle()
{
    const kesh::StringPair* entry = Selected();
    if (!entry)
        return;
    EnableWindow(GetDlgItem(IDC_RESPONSE_OPEN), IsOpenableAddress(entry->second));
    address = Wide(entry->second);
    UpdateData(false);
}

void CUploadResponseDlg::OnCopyUrl()
{
    // Enter reaches the default button, Copy, even with nothing to copy.
    if (!Selected())
        return;
    UpdateData(true);
    addressBox_.SetSel(0, -1);
    addressBox_.SendMessage(EM_SCROLLCARET);
    addressBox_.SendMessage(WM_COPY);
    SetDlgItemText(IDC_RESPONSE_NOTICE, CopyNoticeText(titles_.GetWindowText()).c_str());
    SetTimer(handle(), kNoticeTimer, kNoticeMilliseconds, nullptr);
}

void CUploadResponseDlg::OnOpenUrl()
{
    UpdateData(true);
    const kesh::StringPair* entry = Selected();
    if (!entry || !IsOpenableAddress(entry->second))
        return;
    ui::Shell().ShellExecute(nullptr, nullptr, Wide(entry->second).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

LRESULT CUploadResponseDlg::OnTimer(WPARAM w, LPARAM)
{
    const UINT_PTR id = w;
    if (id == kNoticeTimer) {
        SetDlgItemText(IDC_RESPONSE_NOTICE, L"");
        KillTimer(handle(), kNoticeTimer);
    }
    return CallDefault();
}
