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

// A modal dialog that lives as long as one network worker's exchange, or
// a bound after its Cancel. When it opens it starts the worker
// (MakeRunner) on a library thread of normal priority with 256 KiB of
// stack. Each stage goes to OnStage; the last one is then answered with
// FinishRunnerDialog, and the WM_RUNNER_DONE that posts ends the dialog,
// with IDOK or IDCANCEL. Enter does nothing. Cancel (the button, Esc, the
// close box) asks the worker to Cancel and, when that takes, sets
// cancelled; the dialog then waits kCancelWait at most for the last stage,
// and ends with IDCANCEL without it. Whenever the window goes before the
// last stage (that bound, or the window's end with its owner or with the
// program), the worker is cancelled and abandoned first
// (NetworkRunner::Abandon): none of its reports reaches the dialog
// afterwards, and nothing waits for it.
class CRunnerDialog : public ui::CDialog {
public:
    // What the Cancel button does once a Cancel has taken, while the dialog
    // waits for the last stage.
    enum class TakenCancel { StaysEnabled, Grays };

    // How long the dialog still waits for the worker's last stage once a
    // Cancel has taken, in milliseconds: long enough for a worker whose
    // call the cancel breaks off to report, short enough that a server
    // keeping the system's call waiting does not keep the user waiting.
    static constexpr unsigned kCancelWait = 2000;

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
    void AfterDestroy() override;

private:
    LRESULT OnRunnerMessage(WPARAM, LPARAM);
    LRESULT OnRunnerDone(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    // Cancels the worker, unless its last stage came, and abandons it.
    void LetWorkerGo();

    const unsigned lastStage_;
    const TakenCancel takenCancel_;
    boost::shared_ptr<NetworkRunner> runner_;
    bool finished_ = false;   // the last stage came
    bool abandoned_ = false;  // the worker's reports are ignored from now on
};
