#pragma once

#include <boost/shared_ptr.hpp>

namespace kesh {
namespace sys {

namespace __ {
struct MutexStub;
struct SyncPointStub;
}  // namespace __

// A recursive mutex (a critical section). Copies share the one critical
// section, which is deleted when the last copy goes. Locked only through a
// ScopedLock.
class Mutex {
public:
    Mutex();

private:
    friend class ScopedLock;
    boost::shared_ptr<__::MutexStub> stub_;
};

// Holds its own copy of the mutex while locked, so the critical section
// outlives every lock on it.
class ScopedLock {
public:
    explicit ScopedLock(const Mutex& mutex);
    ~ScopedLock();
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    Mutex mutex_;
};

// An unnamed Win32 event, initially not set; auto-reset releases one wait
// per set, manual-reset stays set. Copies share the event.
class SyncPoint {
public:
    explicit SyncPoint(bool autoReset);
    void set();
    void wait();

private:
    boost::shared_ptr<__::SyncPointStub> stub_;
};

}  // namespace sys
}  // namespace kesh
