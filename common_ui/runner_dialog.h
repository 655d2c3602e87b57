#pragma once

// The dialog's side of the protocol between a network worker and its
// dialog (common/runner_protocol.h).

#include "common/runner_protocol.h"

#include <windows.h>

// The dialog's answer to the worker's last stage: unless the user
// cancelled, a failure's message is shown in an error box; then
// WM_RUNNER_DONE is posted to the dialog with IDOK for success, IDCANCEL
// otherwise.
void FinishRunnerDialog(HWND dialog, const RunnerResult& result, bool cancelled);
