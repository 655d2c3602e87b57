#pragma once

#include "kesh/string.h"
#include "toolbar/app/http_runner.h"
#include "ui/dialog.h"

#include <boost/shared_ptr.hpp>

// Dialog 104, "Norpa 检查新版本": starts the version-check worker when it
// opens, shows its stages and judges the web site's reply against the
// program's own product version. It ends with IDOK (a reply was read:
// newer and downloadAddress tell what it said) or IDCANCEL (the check
// failed, shown in an error box, or was cancelled). It ends only when the
// worker has sent its last stage: Cancel (the button, Esc, the close box)
// cuts the request off and waits for that, and Enter does nothing.
class CCheckVersionDlg : public ui::CDialog {
public:
    explicit CCheckVersionDlg(HWND parent = nullptr);

    kesh::String downloadAddress;  // the reply's address, also when not newer
    bool newer = false;            // the reply's version is above the program's
    bool cancelled = false;        // a Cancel cut the check off

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    const ui::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnRunnerMessage(WPARAM, LPARAM);
    LRESULT OnRunnerDone(WPARAM, LPARAM);
    // Stage 2: nonzero when the reply is read, else 0 with body holding why
    // not.
    LRESULT CheckReply(kesh::String& body);

    boost::shared_ptr<HttpRunner> runner_;
};
