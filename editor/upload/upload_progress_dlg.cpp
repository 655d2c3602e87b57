#include "editor/upload/upload_progress_dlg.h"

#include "editor/resource.h"
#include "editor/upload/http_runner.h"
#include "editor/upload/upload_progress_rules.h"
#include "editor/upload/upload_stage.h"
#include "kesh/file.h"
#include "kesh/string.h"
#include "ui/data_exchange.h"

#include <boost/make_shared.hpp>

CUploadProgressDlg::CUploadProgressDlg(HWND parent)
    : CRunnerDialog(IDD_UPLOAD_PROGRESS, parent, kStageFinished, TakenCancel::StaysEnabled)
{
}

void CUploadProgressDlg::DoDataExchange(ui::DataExchange* dx)
{
    ui::BindControl(dx, IDC_UPLOAD_PROGRESS_BAR, progress_);
}

boost::shared_ptr<NetworkRunner> CUploadProgressDlg::MakeRunner()
{
    const auto worker = boost::make_shared<HttpRunner>(handle(), uid, comment, sign, imagePath);
    worker->HoldImage(imageOwner);
    return worker;
}

LRESULT CUploadProgressDlg::OnStage(unsigned stage, void* record)
{
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
    const std::wstring bytes = kesh::Wide(ProgressBytesText(posted, total));
    if (bytes != shownBytes_) {
        shownBytes_ = bytes;
        SetDlgItemText(IDC_UPLOAD_BYTES, bytes.c_str());
    }
}
