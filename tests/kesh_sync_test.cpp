#include "kesh/sync.h"

#include "kesh/handles.h"
#include "tests/wait.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

using kesh::sys::Mutex;
using kesh::sys::ScopedLock;
using kesh::sys::SyncPoint;
using testsupport::WaitFor;

namespace {

// A plain Win32 thread running a function, joined on destruction.
class TestThread {
public:
    explicit TestThread(std::function<void()> body) : body_(std::move(body))
    {
        handle_.Attach(CreateThread(nullptr, 0, &TestThread::run, this, 0, nullptr));
    }
    ~TestThread() { join(); }
    bool join(DWORD ms = 10000)
    {
        if (!handle_.isValid()) return true;
        const bool done = WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0;
        if (done) handle_.reset();
        return done;
    }

private:
    static DWORD WINAPI run(void* self)
    {
        static_cast<TestThread*>(self)->body_();
        return 0;
    }
    std::function<void()> body_;
    kesh::win::KernelHandle handle_;
};

// Another thread locking mutex waits while held lives and gets in once it
// goes.
void ExpectOthersWaitFor(std::unique_ptr<ScopedLock> held, const Mutex& mutex)
{
    std::atomic<bool> entered(false);
    TestThread other([&] {
        ScopedLock lock(mutex);
        entered = true;
    });
    EXPECT_FALSE(other.join(200));
    EXPECT_FALSE(entered);
    held.reset();
    EXPECT_TRUE(other.join());
    EXPECT_TRUE(entered);
}

}  // namespace

TEST(MutexTest, CopiesExcludeEachOther)
{
    Mutex mutex;
    const Mutex copy = mutex;
    ExpectOthersWaitFor(std::make_unique<ScopedLock>(mutex), copy);
}

// Entered again by its owner (a second lock that waited for the first would
// never return); others get in only once the outer lock is gone too.
TEST(MutexTest, OwnerMayLockAgainAndOthersWaitForTheOuterLock)
{
    Mutex mutex;
    auto outer = std::make_unique<ScopedLock>(mutex);
    { ScopedLock inner(mutex); }
    ExpectOthersWaitFor(std::move(outer), mutex);
}

// The lock holds the mutex's section itself: with the Mutex it was made
// from gone, others (through a copy) still wait until the lock goes.
TEST(MutexTest, LockOutlivesTheMutexObject)
{
    Mutex* mutex = new Mutex;
    const Mutex copy = *mutex;
    auto lock = std::make_unique<ScopedLock>(*mutex);
    delete mutex;
    ExpectOthersWaitFor(std::move(lock), copy);
}

TEST(SyncPointTest, AutoResetReleasesOneWaitPerSet)
{
    SyncPoint point(true);
    std::atomic<int> passed(0);
    TestThread a([&] { point.wait(); ++passed; });
    TestThread b([&] { point.wait(); ++passed; });
    point.set();
    ASSERT_TRUE(WaitFor([&] { return passed >= 1; }, 5000, nullptr));
    // A second release shows nothing before it: watched for a while.
    EXPECT_FALSE(WaitFor([&] { return passed > 1; }, 100, nullptr));
    EXPECT_EQ(1, passed);
    point.set();
    EXPECT_TRUE(a.join());
    EXPECT_TRUE(b.join());
    EXPECT_EQ(2, passed);
}

TEST(SyncPointTest, ManualResetStaysSet)
{
    SyncPoint point(false);
    SyncPoint copy = point;
    copy.set();
    point.wait();
    point.wait();
    std::atomic<bool> done(false);
    TestThread other([&] { copy.wait(); done = true; });
    EXPECT_TRUE(other.join());
    EXPECT_TRUE(done);
}
