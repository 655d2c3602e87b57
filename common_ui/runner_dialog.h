#pragma once

// The dialog's side of the protocol between a network worker and its
// dialog (common/runner_protocol.h).

#include "common/runner_protocol.h"
#include "ui/dialog.h"

#include <boost/shared_ptr.hpp>

#include <windows.h>

// The dialog's answer to the worker's last stage: unless the user
// cancelled, a failure's message is shown in an error box; then
// WM_RUNNER_DONE is posted to the dialog with IDOK for success, IDCANCEL
// otherwise.
void FinishRunnerDialog(HWND dialog, const RunnerResult& result, bool cancelled);

// A modal dialog that lives as long as one network worker's exchange. When
// it opens it starts the worker (MakeRunner) on a library thread of normal
// priority with 256 KiB of stack. Each stage goes to OnStage; the last one
// is then answered with FinishRunnerDialog, and only the WM_RUNNER_DONE
// that posts ends the dialog, with IDOK or IDCANCEL: it never goes while
// the worker may still report to it. Enter does nothing. Cancel (the
// button, Esc, the close box) asks the worker to Cancel and, when that
// takes, sets cancelled; the dialog still waits for the last stage.
class CRunnerDialog : public ui::CDialog {
public:
    // What the Cancel button does once a Cancel has taken: the dialog may
    // wait for a server that keeps the system waiting.
    enum class TakenCancel { StaysEnabled, Grays };

    bool cancelled = false;  // a Cancel cut the worker off

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    CRunnerDialog(UINT templateId, HWND parent, unsigned lastStage, TakenCancel takenCancel);

    // The worker that reports to this dialog's window; made once, when the
    // dialog opens.
    virtual boost::shared_ptr<NetworkRunner> MakeRunner() = 0;
    // One stage of the worker, on the UI thread while the worker waits for
    // the answer; record is the stage's record or null. The last stage
    // comes here too, before the dialog answers it (its answer is not used).
    virtual LRESULT OnStage(unsigned stage, void* record) = 0;

    const ui::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnRunnerMessage(WPARAM, LPARAM);
    LRESULT OnRunnerDone(WPARAM, LPARAM);

    const unsigned lastStage_;
    const TakenCancel takenCancel_;
    boost::shared_ptr<NetworkRunner> runner_;
};
