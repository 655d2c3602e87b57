#include "common/worker_exit.h"

#include "kesh/thread.h"

#include <windows.h>

#include <cstdio>

void StopWorkersOrEndProcess(int exitCode)
{
    if (kesh::sys::joinAllWithin(kWorkerExitWait))
        return;
    // ExitProcess ends the other threads first and runs none of the
    // program's static destructors.
    std::fflush(nullptr);
    ExitProcess(static_cast<UINT>(exitCode));
}
