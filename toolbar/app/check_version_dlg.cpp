#include "toolbar/app/check_version_dlg.h"

#include "common/version_info.h"
#include "common_ui/runner_dialog.h"
#include "toolbar/core/version_rules.h"
#include "toolbar/resource.h"

#include <boost/make_shared.hpp>

namespace {

// The worker's thread: normal priority, 256 KiB of stack.
constexpr unsigned kWorkerStack = 0x40000;

}  // namespace

CCheckVersionDlg::CCheckVersionDlg(HWND parent) : ui::CDialog(IDD_CHECK_VERSION, parent) {}

const ui::MessageMap* CCheckVersionDlg::GetMessageMap() const
{
    static const ui::MessageMap map(ui::CDialog::GetMessageMap(), {
        ui::OnMessage(WM_RUNNER_STAGE, &CCheckVersionDlg::OnRunnerMessage),
        ui::OnMessage(WM_RUNNER_DONE, &CCheckVersionDlg::OnRunnerDone),
    });
    return &map;
}

bool CCheckVersionDlg::OnInitDialog()
{
    ui::CDialog::OnInitDialog();
    runner_ = boost::make_shared<HttpRunner>(handle());
    kesh::sys::createThread(runner_, kesh::sys::ThreadPriorityUnchanged, kWorkerStack);
    return true;
}

void CCheckVersionDlg::OnOK()
{
    // The dialog manager's Enter: the dialog ends with the worker, not here.
}

void CCheckVersionDlg::OnCancel()
{
    if (!runner_ || !runner_->Cancel())
        return;
    cancelled = true;
    // Taken: the dialog stays only until the worker has stopped, which a
    // server that keeps the system waiting may still delay.
    EnableWindow(GetDlgItem(IDCANCEL), FALSE);
}

LRESULT CCheckVersionDlg::OnRunnerDone(WPARAM w, LPARAM)
{
    const int result = static_cast<int>(w);
    EndDialog(result);
    return 0;
}

LRESULT CCheckVersionDlg::OnRunnerMessage(WPARAM w, LPARAM l)
{
    const unsigned stage = static_cast<unsigned>(w);
    void* const record = reinterpret_cast<void*>(l);
    switch (stage) {
    case kVersionStageRequest:
        SetDlgItemText(IDC_VERSION_STAGE, L"获取版本信息...");
        return 1;
    case kVersionStageCheck:
        SetDlgItemText(IDC_VERSION_STAGE, L"验证数据有效性...");
        return record ? CheckReply(*static_cast<kesh::String*>(record)) : 0;
    case kVersionStageFinished:
        if (record)
            FinishRunnerDialog(handle(), *static_cast<const RunnerResult*>(record), cancelled);
        return 1;
    default:
        return 1;
    }
}

LRESULT CCheckVersionDlg::CheckReply(kesh::String& body)
{
    // The product version, not the file version: the one users are told.
    VS_FIXEDFILEINFO own = {};
    ReadOwnFileVersion(own);
    const VersionReply reply = ReadVersionReply(body, PackedProductVersion(own));
    if (!reply.recognised) {
        body = kUnrecognisedReplyText;
        return 0;
    }
    newer = reply.newer;
    downloadAddress = reply.downloadAddress;
    return 1;
}
