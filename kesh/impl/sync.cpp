#include "kesh/sync.h"

#include "kesh/assert.h"
#include "kesh/handles.h"

#include <boost/make_shared.hpp>

#include <windows.h>

namespace kesh {
namespace sys {

namespace __ {

struct MutexStub {
    CRITICAL_SECTION section;
    MutexStub() { InitializeCriticalSection(&section); }
    ~MutexStub() { DeleteCriticalSection(&section); }
    MutexStub(const MutexStub&) = delete;
    MutexStub& operator=(const MutexStub&) = delete;
};

struct SyncPointStub {
    win::KernelHandle handle;
    explicit SyncPointStub(bool autoReset) : handle(CreateEventW(nullptr, autoReset ? FALSE : TRUE, FALSE, nullptr))
    {
        KESH_ASSERT(handle.isValid());
    }
};

}  // namespace __

Mutex::Mutex() : stub_(boost::make_shared<__::MutexStub>()) {}

ScopedLock::ScopedLock(const Mutex& mutex) : mutex_(mutex)
{
    EnterCriticalSection(&mutex_.stub_->section);
}

ScopedLock::~ScopedLock()
{
    LeaveCriticalSection(&mutex_.stub_->section);
}

SyncPoint::SyncPoint(bool autoReset) : stub_(boost::make_shared<__::SyncPointStub>(autoReset)) {}

void SyncPoint::set()
{
    SetEvent(stub_->handle);
}

void SyncPoint::wait()
{
    WaitForSingleObject(stub_->handle, INFINITE);
}

}  // namespace sys
}  // namespace kesh
