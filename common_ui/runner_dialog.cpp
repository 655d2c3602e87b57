#include "common_ui/runner_dialog.h"

#include "kesh/string.h"
#include "kesh/thread.h"
#include "ui/shell_seams.h"

namespace {

// The worker's thread: normal priority, 256 KiB of stack.
constexpr unsigned kRunnerStack = kesh::sys::kWorkerStackSize;

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
}

LRESULT CRunnerDialog::OnRunnerMessage(WPARAM w, LPARAM l)
{
    const unsigned stage = static_cast<unsigned>(w);
    void* const record = reinterpret_cast<void*>(l);
    const LRESULT answer = OnStage(stage, record);
    if (stage != lastStage_ || !record)
        return answer;
    FinishRunnerDialog(handle(), *static_cast<const RunnerResult*>(record), cancelled);
    return 1;
}

LRESULT CRunnerDialog::OnRunnerDone(WPARAM w, LPARAM)
{
    EndDialog(static_cast<int>(w));
    return 0;
}
