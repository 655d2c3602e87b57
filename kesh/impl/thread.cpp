#include "kesh/thread.h"

#include "kesh/assert.h"
#include "kesh/handles.h"
#include "kesh/impl/globals.h"
#include "kesh/impl/thread_registry.h"
#include "kesh/logger.h"
#include "kesh/string.h"

#include <boost/make_shared.hpp>

#include <windows.h>

#include <cxxabi.h>
#include <process.h>

#include <cstdlib>
#include <typeinfo>

namespace kesh {
namespace sys {
namespace impl {

namespace {

// The name this source goes by in log lines, as in assertions.
const char* const kSource = ".\\impl\\thread";

// Handed to the new thread, which takes its own copies of both handles and
// frees the record.
struct StartRecord {
    boost::shared_ptr<ThreadData> td;
    boost::shared_ptr<IRunnable> runnable;
};

long addRunning(long delta)
{
    return InterlockedExchangeAdd(&kesh::__::runningThreadCount, delta) + delta;
}

int systemPriority(int code)
{
    switch (code) {
    case ThreadPriorityTimeCritical: return THREAD_PRIORITY_TIME_CRITICAL;
    case ThreadPriorityBelowNormal: return THREAD_PRIORITY_BELOW_NORMAL;
    default: return THREAD_PRIORITY_NORMAL;
    }
}

// Done by the thread on itself; a thread that cannot open itself simply runs
// at normal priority.
void setOwnPriority(int code)
{
    const win::KernelHandle self(OpenThread(THREAD_SET_INFORMATION, TRUE, GetCurrentThreadId()));
    if (!self.isValid()) return;
    SetThreadPriority(self, systemPriority(code));
}

unsigned __stdcall threadEntry(void* argument)
{
    StartRecord* record = static_cast<StartRecord*>(argument);
    boost::shared_ptr<IRunnable> runnable = record->runnable;
    boost::shared_ptr<ThreadData> td = record->td;
    delete record;
    KESH_ASSERT(runnable);
    KESH_ASSERT(td);

    // The body never begins before its thread is registered, so the remove
    // below always follows the add.
    td->started.wait();
    if (td->priority != ThreadPriorityUnchanged) setOwnPriority(td->priority);
    runnable->run();
    runnable.reset();
    kesh::__::threadRegistry.remove(GetCurrentThreadId());
    td->finished.set();
    td.reset();
    addRunning(-1);
    return 0;
}

String typeName(const std::type_info& type)
{
    int status = 0;
    char* readable = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    String name(status == 0 && readable ? readable : type.name());
    std::free(readable);
    return name;
}

}  // namespace

class Thread : public IThread {
public:
    explicit Thread(unsigned id) : id_(id), joined_(false) {}

    unsigned getId() override { return id_; }

    bool join() override
    {
        if (id_ == GetCurrentThreadId()) return false;
        if (boost::shared_ptr<ThreadData> td = kesh::__::threadRegistry.find(id_)) {
            boost::shared_ptr<IRunnable> body = td->runnable.lock();
            if (body) body->stop();
            td->finished.wait();
        }
        joined_ = true;
        return true;
    }

    bool isAlive() override { return !joined_ && kesh::__::threadRegistry.find(id_); }

private:
    unsigned id_;
    bool joined_;
};

ThreadDataMap::~ThreadDataMap()
{
    KESH_ASSERT(_map.empty());
}

boost::shared_ptr<ThreadData> ThreadDataMap::find(unsigned id)
{
    ScopedLock lock(mutex_);
    std::map<unsigned, boost::shared_ptr<ThreadData> >::const_iterator it = _map.find(id);
    return it == _map.end() ? boost::shared_ptr<ThreadData>() : it->second;
}

void ThreadDataMap::add(unsigned id, const boost::shared_ptr<ThreadData>& data)
{
    ScopedLock lock(mutex_);
    _map[id] = data;
}

void ThreadDataMap::remove(unsigned id)
{
    ScopedLock lock(mutex_);
    _map.erase(id);
}

unsigned ThreadDataMap::size()
{
    ScopedLock lock(mutex_);
    return static_cast<unsigned>(_map.size());
}

bool ThreadDataMap::joinAll(const unsigned* limit)
{
    for (;;) {
        unsigned id = 0;
        boost::shared_ptr<ThreadData> td;
        {
            ScopedLock lock(mutex_);
            if (_map.empty()) break;
            id = _map.begin()->first;
            td = _map.begin()->second;
            _map.erase(_map.begin());
        }
        if (id == GetCurrentThreadId()) {
            if (isLogLevelEnabled(LogLevelError)) {
                const String message = typeName(typeid(ThreadDataMap)) + ": joinAll not allowed in IThread";
                getLogger().write("[ERR ]", kSource, __LINE__, message.c_str());
            }
            KESH_ASSERT(0);
        }
        if (boost::shared_ptr<IRunnable> body = td->runnable.lock()) body->stop();
    }
    const ULONGLONG start = GetTickCount64();
    while (readRunningThreadCount() != 0) {
        if (limit && GetTickCount64() - start >= *limit) return false;
        Sleep(10);
    }
    return true;
}

long readRunningThreadCount()
{
    return addRunning(0);
}

bool startThread(const boost::shared_ptr<IRunnable>& body, int priority, unsigned stackSize,
                 ThreadStarter starter, unsigned* id)
{
    boost::shared_ptr<ThreadData> td = boost::make_shared<ThreadData>(priority, body);
    StartRecord* record = new StartRecord{td, body};
    addRunning(1);
    unsigned newId = 0;
    // Nobody waits on the thread by its handle: the registry counts it.
    const win::KernelHandle handle(
        reinterpret_cast<HANDLE>(starter(nullptr, stackSize, &threadEntry, record, 0, &newId)));
    if (!handle.isValid()) {
        // No thread will ever run the procedure that would have freed the
        // record and taken the count back.
        delete record;
        addRunning(-1);
        return false;
    }
    kesh::__::threadRegistry.add(newId, td);
    td->started.set();
    *id = newId;
    return true;
}

}  // namespace impl

boost::shared_ptr<IThread> createThread(const boost::shared_ptr<IRunnable>& runnable, int priority,
                                        unsigned stackSize)
{
    KESH_ASSERT(runnable);
    unsigned id = 0;
    const bool handle = impl::startThread(runnable, priority, stackSize, &_beginthreadex, &id);
    KESH_ASSERT(handle);
    return boost::make_shared<impl::Thread>(id);
}

boost::shared_ptr<IThread> currentThread()
{
    return boost::make_shared<impl::Thread>(GetCurrentThreadId());
}

void joinAll()
{
    kesh::__::threadRegistry.joinAll();
}

bool joinAllWithin(unsigned milliseconds)
{
    return kesh::__::threadRegistry.joinAll(&milliseconds);
}

}  // namespace sys
}  // namespace kesh
