#include "common_ui/runner_dialog.h"

#include "kesh/string.h"
#include "kesh/thread.h"
#include "ui/shell_seams.h"

namespace {

// The worker's thread: normal priority, 256 KiB of stack.
constexpr unsigned kRunnerStack = kesh::sys::kWorkerStackSize;
// The timer of the wait after a Cancel.
constexpr UINT_PTR kCancelWaitTimer = 1;

}  // namespace

void FinishRunnerDialog(HWND dialog, const RunnerResult& result, bool cancelled)
{
    if (!result.ok && !cancelled)
        ui::AppMessageBox(kesh::Wide(result.message), MB_OK | MB_ICONERROR);
    PostMessageW(dialog, WM_RUNNER_DONE, result.ok ? IDOK : IDCANCEL, 0);
}

CRunnerDialog::CRunnerDialog(UINT templateId, HWND parent, unsigned lastStage, TakenCancel takenCancel)
    : CDialog(templateId, parent), lastStage_(lastStage), takenCancel_(takenCancel)
{
}

const ui::MessageMap* CRunnerDialog::GetMessageMap() const
{
    static const ui::MessageMap map(CDialog::GetMessageMap(), {
        ui::OnMessage(WM_RUNNER_STAGE, &CRunnerDialog::OnRunnerMessage),
        ui::OnMessage(WM_RUNNER_DONE, &CRunnerDialog::OnRunnerDone),
        ui::OnMessage(WM_TIMER, &CRunnerDialog::OnTimer),
    });
    return &map;
}

bool CRunnerDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    runner_ = MakeRunner();
    kesh::sys::createThread(runner_, kesh::sys::ThreadPriorityUnchanged, kRunnerStack);
    return true;
}

void CRunnerDialog::OnOK()
{
    // The dialog manager's Enter: the dialog ends with the worker, not here.
}

void CRunnerDialog::OnCancel()
{
    if (!runner_ || !runner_->Cancel())
        return;
    cancelled = true;
    if (takenCancel_ == TakenCancel::Grays)
        EnableWindow(GetDlgItem(IDCANCEL), FALSE);
    SetTimer(handle(), kCancelWaitTimer, kCancelWait, nullptr);
}

LRESULT CRunnerDialog::OnRunnerMessage(WPARAM w, LPARAM l)
{
    if (abandoned_)
        return 0;
    const unsigned stage = static_cast<unsigned>(w);
    void* const record = reinterpret_cast<void*>(l);
    const LRESULT answer = OnStage(stage, record);
    if (stage != lastStage_ || !record)
        return answer;
    finished_ = true;
    KillTimer(handle(), kCancelWaitTimer);
    FinishRunnerDialog(handle(), *static_cast<const RunnerResult*>(record), cancelled);
    return 1;
}

LRESULT CRunnerDialog::OnTimer(WPARAM w, LPARAM)
{
    if (w != kCancelWaitTimer)
        return CallDefault();
    KillTimer(handle(), kCancelWaitTimer);
    // The worker waits on a call the cancel did not break off: the user
    // does not wait with it.
    if (!finished_) {
        LetWorkerGo();
        EndDialog(IDCANCEL);
    }
    return 0;
}

void CRunnerDialog::AfterDestroy()
{
    LetWorkerGo();
    CDialog::AfterDestroy();
}

void CRunnerDialog::LetWorkerGo()
{
    if (abandoned_ || !runner_)
        return;
    if (!finished_)
        runner_->Cancel();
    abandoned_ = true;
    runner_->Abandon();
}

LRESULT CRunnerDialog::OnRunnerDone(WPARAM w, LPARAM)
{
    EndDialog(static_cast<int>(w));
    return 0;
}
