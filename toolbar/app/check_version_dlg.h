#pragma once

#include "common_ui/runner_dialog.h"
#include "kesh/string.h"

#include <boost/shared_ptr.hpp>

// Dialog 104, "Norpa 检查新版本": runs the version-check worker (HttpRunner)
// as a CRunnerDialog, shows its stages and judges the web site's reply
// against the program's own product version. It ends with IDOK (a reply
// was read: newer and downloadAddress tell what it said) or IDCANCEL (the
// check failed, shown in an error box, or was cancelled). Cancel cuts the
// request off; once taken the button grays until the worker has stopped,
// or the dialog has stopped waiting for it (CRunnerDialog::kCancelWait).
class CCheckVersionDlg : public CRunnerDialog {
public:
    explicit CCheckVersionDlg(HWND parent = nullptr);

    kesh::String downloadAddress;  // the reply's address, also when not newer
    bool newer = false;            // the reply's version is above the program's

protected:
    boost::shared_ptr<NetworkRunner> MakeRunner() override;
    LRESULT OnStage(unsigned stage, void* record) override;

private:
    // Stage 2: nonzero when the reply is read, else 0 with body holding why
    // not.
    LRESULT CheckReply(kesh::String& body);
};
