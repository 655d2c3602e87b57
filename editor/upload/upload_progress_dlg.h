#pragma once

#include "common_ui/runner_dialog.h"
#include "httpclient/client.h"
#include "kesh/array.h"
#include "kesh/string.h"
#include "ui/controls.h"

#include <boost/shared_ptr.hpp>

#include <string>

// Dialog 105, "存储到Norpa - 传送数据": runs the upload worker (HttpRunner)
// as a CRunnerDialog, shows its stages, the bytes sent and a progress bar,
// judges the server's configuration and answer, and ends with IDOK (the
// image is stored; addresses holds what the server gave back) or IDCANCEL
// (failed, shown in an error box, or cancelled). Cancel cuts the upload off
// wherever it is; the button stays enabled.
class CUploadProgressDlg : public CRunnerDialog {
public:
    explicit CUploadProgressDlg(HWND parent = nullptr);

    int width = 0;
    int height = 0;
    std::wstring imagePath;
    std::wstring comment;
    std::wstring sign;
    std::wstring uid;
    // Held by the worker until it is gone: what removes the image's file
    // when its last holder lets go (may be empty).
    boost::shared_ptr<const void> imageOwner;
    kesh::TArray<kesh::StringPair> addresses;  // title, address

    void DoDataExchange(ui::DataExchange* dx) override;

protected:
    boost::shared_ptr<NetworkRunner> MakeRunner() override;
    LRESULT OnStage(unsigned stage, void* record) override;

private:
    // The checking stages: nonzero to go on, else the record holds why not.
    LRESULT CheckConfigurationStage(kesh::StringPair& configuration);
    LRESULT CheckAnswerStage(kesh::String& answer);
    void ShowProgress(const Tesmo::CHttpPostStat& progress);

    ui::CProgressCtrl progress_;
    int shownPosition_ = -1;
    std::wstring shownBytes_;
};
