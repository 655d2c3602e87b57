#include "common_ui/runner_dialog.h"

#include "kesh/string.h"
#include "ui/shell_seams.h"

void FinishRunnerDialog(HWND dialog, const RunnerResult& result, bool cancelled)
{
    if (!result.ok && !cancelled)
        ui::AppMessageBox(kesh::Wide(result.message), MB_OK | MB_ICONERROR);
    PostMessageW(dialog, WM_RUNNER_DONE, result.ok ? IDOK : IDCANCEL, 0);
}
