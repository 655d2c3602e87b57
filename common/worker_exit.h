#pragma once

// How a program's exit ends its network workers: bounded by the program,
// whatever a worker still waits on.

// The longest a program's exit waits for its library threads, in
// milliseconds.
constexpr unsigned kWorkerExitWait = 2000;

// Asks every library thread to stop and waits at most kWorkerExitWait for
// them (kesh::sys::joinAllWithin). Returns when every one has ended. When
// one still runs (a worker the network keeps waiting in a call the system
// does not break off) the process ends here with exitCode, the C runtime's
// output flushed: the thread ends with it, and nothing that a normal end
// tears down (the static objects of the program and its library, which the
// thread may still touch) is torn down under it.
void StopWorkersOrEndProcess(int exitCode);
