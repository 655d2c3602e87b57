#pragma once

#include "editor/upload/http_runner.h"
#include "kesh/array.h"
#include "kesh/string.h"
#include "ui/controls.h"
#include "ui/dialog.h"

#include <boost/shared_ptr.hpp>

#include <string>

// Dialog 105, "存储到Norpa - 传送数据": starts the upload worker when it
// opens, shows its stages, the bytes sent and a progress bar, judges the
// server's configuration and answer, and ends with IDOK (the image is
// stored; addresses holds what the server gave back) or IDCANCEL (failed,
// shown in an error box, or cancelled). It ends only when the worker has
// sent its last stage: Cancel cuts the upload off wherever it is and waits
// for that, and Enter does nothing.
class CUploadProgressDlg : public ui::CDialog {
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
    bool cancelled = false;                     // a Cancel cut the upload off

    void DoDataExchange(ui::DataExchange* dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    const ui::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnUploadStage(WPARAM, LPARAM);
    LRESULT OnUploadDone(WPARAM, LPARAM);

    // The checking stages: nonzero to go on, else the record holds why not.
    LRESULT CheckConfigurationStage(kesh::StringPair& configuration);
    LRESULT CheckAnswerStage(kesh::String& answer);
    void ShowProgress(const Tesmo::CHttpPostStat& progress);

    boost::shared_ptr<HttpRunner> worker_;
    ui::CProgressCtrl progress_;
    int shownPosition_ = -1;
    std::wstring shownBytes_;
};
