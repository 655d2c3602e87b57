#include "editor/upload/upload_progress_dlg.h"

#include "common/runner_protocol.h"
#include "common_ui/runner_dialog.h"
#include "editor/resource.h"
#include "editor/upload/upload_progress_rules.h"
#include "editor/upload/upload_stage.h"
#include "kesh/file.h"
#include "kesh/string.h"
#include "ui/data_exchange.h"

#include <boost/make_shared.hpp>

namespace {

// The worker's thread: normal priority, 256 KiB of stack.
constexpr unsigned kWorkerStack = 0x40000;

using kesh::Wide;

}  // namespace

CUploadProgressDlg::CUploadProgressDlg(HWND parent) : CDialog(IDD_UPLOAD_PROGRESS, parent) {}

const ui::MessageMap* CUploadProgressDlg::GetMessageMap() const
{
    static const ui::MessageMap map(CDialog::GetMessageMap(), {
        ui::OnMessage(WM_RUNNER_STAGE, &CUploadProgressDlg::OnUploadStage),
        ui::OnMessage(WM_RUNNER_DONE, &CUploadProgressDlg::OnUploadDone),
    });
    return &map;
}

void CUploadProgressDlg::DoDataExchange(ui::DataExchange* dx)
{
    ui::BindControl(dx, IDC_UPLOAD_PROGRESS_BAR, progress_);
}

bool CUploadProgressDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    worker_ = boost::make_shared<HttpRunner>(handle(), uid, comment, sign, imagePath);
    worker_->HoldImage(imageOwner);
    kesh::sys::createThread(worker_, kesh::sys::ThreadPriorityUnchanged, kWorkerStack);
    return true;
}

void CUploadProgressDlg::OnOK()
{
    // The dialog manager's Enter: the dialog ends with the worker, not here.
}

void CUploadProgressDlg::OnCancel()
{
    if (worker_ && worker_->Cancel())
        cancelled = true;
}

LRESULT CUploadProgressDlg::OnUploadDone(WPARAM w, LPARAM)
{
    const int result = static_cast<int>(w);
    EndDialog(result);
    return 0;
}

LRESULT CUploadProgressDlg::OnUploadStage(WPARAM w, LPARAM l)
{
    const unsigned stage = static_cast<unsigned>(w);
    void* const record = reinterpret_cast<void*>(l);
    if (const wchar_t* text = UploadStageText(stage))
        SetDlgItemText(IDC_UPLOAD_STAGE, text);
    if (!record)
        return 1;
    switch (stage) {
    case kStageCheckConfiguration:
        return CheckConfigurationStage(*static_cast<kesh::StringPair*>(record));
    case kStagePostProgress:
        ShowProgress(*static_cast<const Tesmo::CHttpPostStat*>(record));
        return 1;
    case kStageCheckAnswer:
        return CheckAnswerStage(*static_cast<kesh::String*>(record));
    case kStageFinished:
        FinishRunnerDialog(handle(), *static_cast<const RunnerResult*>(record), cancelled);
        return 1;
    default:
        return 1;
    }
}

LRESULT CUploadProgressDlg::CheckConfigurationStage(kesh::StringPair& configuration)
{
    const kesh::String path(imagePath.c_str());
    const ConfigurationVerdict verdict = CheckConfiguration(configuration.first, kesh::fs::size(path), width, height);
    if (!verdict.ok) {
        configuration.first = verdict.failure;
        return 0;
    }
    configuration.second = verdict.entry;
    return 1;
}

LRESULT CUploadProgressDlg::CheckAnswerStage(kesh::String& answer)
{
    const AnswerVerdict verdict = ReadAnswer(answer);
    if (!verdict.ok) {
        answer = verdict.failure;
        return 0;
    }
    for (unsigned i = 0; i < verdict.addresses.size(); ++i)
        addresses.append(verdict.addresses.at(i));
    return 1;
}

void CUploadProgressDlg::ShowProgress(const Tesmo::CHttpPostStat& progress)
{
    // The worker sends only running POSTs; an idle record would throw.
    if (!progress.IsActive())
        return;
    const unsigned posted = progress.PostedByte();
    const unsigned total = progress.TotalByte();
    // A report comes every 4 KiB: only what the user can see change is
    // drawn again.
    const int position = ProgressPosition(posted, total);
    if (position != shownPosition_) {
        shownPosition_ = position;
        progress_.SetPos(position);
    }
    const std::wstring bytes = Wide(ProgressBytesText(posted, total));
    if (bytes != shownBytes_) {
        shownBytes_ = bytes;
        SetDlgItemText(IDC_UPLOAD_BYTES, bytes.c_str());
    }
}
