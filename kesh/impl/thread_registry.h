#pragma once

// The process-wide registry of running library threads and the steps of
// starting one, shared by the thread code, the library's globals and the
// tests.

#include "kesh/sync.h"
#include "kesh/thread.h"

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include <cstdint>
#include <map>

namespace kesh {
namespace sys {
namespace impl {

// What the registry, the thread's own procedure and a join in progress share
// about one started thread. The registry never keeps the body alive.
struct ThreadData {
    int priority;
    boost::weak_ptr<IRunnable> runnable;
    SyncPoint started;   // auto-reset: set once the thread is registered
    SyncPoint finished;  // manual-reset: set once the body returned and the thread left
    ThreadData(int code, const boost::shared_ptr<IRunnable>& body)
        : priority(code), runnable(body), started(true), finished(false)
    {
    }
};

// Running library threads by ascending id. Every operation holds the lock
// for its own map access only, never while calling a body or waiting.
class ThreadDataMap {
public:
    ThreadDataMap() = default;
    // Threads still registered at process exit mean joinAll was never
    // called: a programming error.
    ~ThreadDataMap();
    ThreadDataMap(const ThreadDataMap&) = delete;
    ThreadDataMap& operator=(const ThreadDataMap&) = delete;

    boost::shared_ptr<ThreadData> find(unsigned id);
    void add(unsigned id, const boost::shared_ptr<ThreadData>& data);
    void remove(unsigned id);
    unsigned size();
    // Asks every body to stop, then waits until no library thread runs,
    // or at most *limit milliseconds when limit is given; false at the limit.
    bool joinAll(const unsigned* limit = nullptr);

private:
    std::map<unsigned, boost::shared_ptr<ThreadData> > _map;
    Mutex mutex_;
};

// Library threads that createThread has begun to start and whose procedure
// has not finished; changed and read only by interlocked adds.
long readRunningThreadCount();

// The runtime's thread start, replaceable so that tests can make a start
// fail or begin a thread their own way.
typedef std::uintptr_t (*ThreadStarter)(void* security, unsigned stackSize,
                                        unsigned(__stdcall* entry)(void*), void* argument,
                                        unsigned flags, unsigned* id);

// Counts, starts and registers a thread running body and lets it begin.
// When starter gives no thread, everything done so far is undone (the count,
// the start record and its hold on the body) and false comes back, so that
// joinAll never waits for a thread that does not exist.
bool startThread(const boost::shared_ptr<IRunnable>& body, int priority, unsigned stackSize,
                 ThreadStarter starter, unsigned* id);

}  // namespace impl
}  // namespace sys
}  // namespace kesh
