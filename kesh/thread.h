#pragma once

#include "kesh/base.h"

#include <boost/shared_ptr.hpp>

namespace kesh {
namespace sys {

// A thread body. run() executes on the library thread and its return ends
// the thread. stop() is called from another thread, possibly while run() is
// still running or after it has returned, and asks run() to return soon; it
// must be safe in both cases. A body catches its own exceptions.
class IRunnable : public IBase {
public:
    virtual void run() = 0;
    virtual void stop() = 0;
};

// The handle of one library thread. It holds no system handle: the thread is
// looked up by its id in the library's registry of running threads.
class IThread : public IBase {
public:
    // The operating system's thread id.
    virtual unsigned getId() = 0;
    // Asks the body to stop and waits until it has returned and the thread
    // has left the registry. False, doing nothing, when called on the thread
    // it names; otherwise true, at once when the thread has already left.
    virtual bool join() = 0;
    // False after join(); otherwise whether the thread is still registered.
    virtual bool isAlive() = 0;
};

// Priority codes of createThread.
enum {
    ThreadPriorityUnchanged = 0,
    ThreadPriorityTimeCritical = 1,
    ThreadPriorityBelowNormal = 2
    // any other code: normal priority
};

// The stack the programs give their worker threads (an upload, a version
// check, a share of the capture's dimming): 256 KiB.
constexpr unsigned kWorkerStackSize = 0x40000;

// Runs body on a new thread, which is registered before the body begins.
// stackSize 0 gives the default stack. The returned handle may be dropped at
// once: joinAll still stops the thread. A null body, or a thread the runtime
// cannot start, is a programming error that ends the process.
boost::shared_ptr<IThread> createThread(const boost::shared_ptr<IRunnable>& body, int priority,
                                        unsigned stackSize);

// A new, unregistered handle naming the calling thread.
boost::shared_ptr<IThread> currentThread();

// Asks every library thread to stop, in ascending order of thread id without
// waiting for each, then returns once no library thread is running any more.
// Only for a thread that is not a library thread; called on one it logs the
// error and fails an assertion.
void joinAll();
// joinAll with a time limit: asks every library thread to stop as joinAll
// does, then waits at most milliseconds. True once no library thread runs;
// false when one still does at the limit (it is left running, and no
// longer asked to stop).
bool joinAllWithin(unsigned milliseconds);

}  // namespace sys
}  // namespace kesh
