#include "kesh/thread.h"

#include "kesh/handles.h"
#include "kesh/impl/globals.h"
#include "kesh/impl/thread_registry.h"
#include "tests/wait.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <windows.h>

#include <process.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

using kesh::sys::IRunnable;
using kesh::sys::IThread;
using kesh::sys::createThread;
using kesh::sys::currentThread;
using kesh::sys::joinAll;
using testsupport::WaitFor;

namespace {

// A manual-reset Win32 event owned by the test.
class Event {
public:
    Event() : handle_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    void set() { SetEvent(handle_); }
    bool wait(DWORD ms = 10000) { return WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0; }

private:
    kesh::win::KernelHandle handle_;
};

// Runs until stop() is called (or returns at once when told so), optionally
// lingering after the stop request; records what happened.
class Body : public IRunnable {
public:
    explicit Body(bool returnAtOnce = false, DWORD lingerMs = 0) : returnAtOnce_(returnAtOnce), lingerMs_(lingerMs)
    {
    }
    void run() override
    {
        runThreadId = GetCurrentThreadId();
        priorityInside = GetThreadPriority(GetCurrentThread());
        if (onRun) onRun();
        started.set();
        if (!returnAtOnce_) stopRequested.wait(INFINITE);
        Sleep(lingerMs_);  // a body still running after its stop: what a join must wait for
        finished = true;
    }
    void stop() override
    {
        if (onStop) onStop();
        ++stopCalls;
        stopRequested.set();
    }

    std::function<void()> onRun;
    std::function<void()> onStop;
    Event started;
    Event stopRequested;
    std::atomic<DWORD> runThreadId{0};
    std::atomic<int> priorityInside{-100};
    std::atomic<int> stopCalls{0};
    std::atomic<bool> finished{false};

private:
    bool returnAtOnce_;
    DWORD lingerMs_;
};

unsigned registered()
{
    return kesh::__::threadRegistry.size();
}

long running()
{
    return kesh::sys::impl::readRunningThreadCount();
}

// Every test program must end with no library thread left: the registry
// asserts that at exit, and this reports it by name first.
class NoThreadLeftBehind : public ::testing::Environment {
public:
    void TearDown() override
    {
        EXPECT_EQ(0u, registered());
        EXPECT_EQ(0, running());
    }
};
const ::testing::Environment* const noThreadLeftBehind =
    ::testing::AddGlobalTestEnvironment(new NoThreadLeftBehind);

}  // namespace

TEST(ThreadTest, StartStopAndJoin)
{
    boost::shared_ptr<Body> body = boost::make_shared<Body>();
    boost::shared_ptr<IThread> thread = createThread(body, 0, 0);
    ASSERT_TRUE(body->started.wait());
    EXPECT_EQ(thread->getId(), body->runThreadId.load());
    EXPECT_TRUE(thread->isAlive());
    EXPECT_EQ(1u, registered());

    EXPECT_TRUE(thread->join());
    EXPECT_TRUE(body->finished);
    EXPECT_FALSE(thread->isAlive());
    EXPECT_EQ(0u, registered());
    EXPECT_TRUE(thread->join());  // the second join finds nothing to wait for
    EXPECT_EQ(1, body->stopCalls);
    joinAll();
}

TEST(ThreadTest, BodyThatReturnsAtOnceIsJoinedWithoutStop)
{
    boost::shared_ptr<Body> body = boost::make_shared<Body>(true);
    boost::shared_ptr<IThread> thread = createThread(body, 0, 0);
    ASSERT_TRUE(body->started.wait());
    ASSERT_TRUE(WaitFor([] { return registered() == 0; }, 10000, nullptr));
    EXPECT_FALSE(thread->isAlive());
    EXPECT_TRUE(thread->join());
    EXPECT_EQ(0, body->stopCalls);
    joinAll();
    EXPECT_EQ(0, running());
}

TEST(ThreadTest, JoinOnTheCallingThreadIsRefused)
{
    EXPECT_FALSE(currentThread()->join());
    EXPECT_EQ(GetCurrentThreadId(), currentThread()->getId());

    boost::shared_ptr<Body> body = boost::make_shared<Body>();
    std::atomic<int> joinedInside{-1};
    std::atomic<int> aliveAfterRefusal{-1};
    body->onRun = [&] {
        boost::shared_ptr<IThread> self = currentThread();
        joinedInside = self->join();
        aliveAfterRefusal = self->isAlive();  // a refused join leaves joined unset
    };
    boost::shared_ptr<IThread> thread = createThread(body, 0, 0);
    ASSERT_TRUE(body->started.wait());
    EXPECT_EQ(0, joinedInside);
    EXPECT_EQ(1, aliveAfterRefusal);
    EXPECT_TRUE(thread->join());
}

TEST(ThreadTest, JoinAllStopsInAscendingIdOrder)
{
    std::mutex orderLock;
    std::vector<unsigned> stopOrder;
    std::vector<boost::shared_ptr<Body> > bodies;
    std::vector<unsigned> ids;
    for (int i = 0; i < 4; ++i) {
        boost::shared_ptr<Body> body = boost::make_shared<Body>();
        bodies.push_back(body);
        ids.push_back(createThread(body, 0, 0)->getId());  // the handle is dropped at once
        Body* raw = body.get();
        const unsigned id = ids.back();
        raw->onStop = [&orderLock, &stopOrder, id] {
            std::lock_guard<std::mutex> guard(orderLock);
            stopOrder.push_back(id);
        };
    }
    for (const boost::shared_ptr<Body>& body : bodies)
        ASSERT_TRUE(body->started.wait());
    joinAll();
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, stopOrder);
}

TEST(ThreadTest, JoinAllWaitsForABodyThatIgnoresStopForAWhile)
{
    boost::shared_ptr<Body> slow = boost::make_shared<Body>(false, 300);
    boost::shared_ptr<IThread> thread = createThread(slow, 0, 0);
    ASSERT_TRUE(slow->started.wait());
    joinAll();
    EXPECT_TRUE(slow->finished);
    EXPECT_EQ(0, running());
    // The entry was taken by joinAll: join no longer waits.
    EXPECT_TRUE(thread->join());
}

TEST(ThreadTest, JoinAllAlsoWaitsForAThreadWhoseEntryWasAlreadyTaken)
{
    // A joinAll on another plain thread takes the lingering thread's entry;
    // a second joinAll finds the registry empty yet still waits for it
    // through the running count.
    boost::shared_ptr<Body> slow = boost::make_shared<Body>(false, 300);
    createThread(slow, 0, 0);
    ASSERT_TRUE(slow->started.wait());
    const kesh::win::KernelHandle other(CreateThread(
        nullptr, 0, [](void*) -> DWORD { joinAll(); return 0; }, nullptr, 0, nullptr));
    ASSERT_TRUE(other.isValid());
    ASSERT_TRUE(WaitFor([] { return registered() == 0; }, 10000, nullptr));
    joinAll();
    EXPECT_TRUE(slow->finished);
    EXPECT_EQ(0, running());
    WaitForSingleObject(other, INFINITE);
}

namespace {
// Starts the thread above normal priority, so that a code that leaves the
// priority alone shows apart from one that sets it to normal; keeps the
// stack size it was given.
unsigned stackSizeGiven = 0;
std::uintptr_t startAboveNormal(void* security, unsigned stackSize, unsigned(__stdcall* entry)(void*), void* argument,
                                unsigned flags, unsigned* id)
{
    stackSizeGiven = stackSize;
    const std::uintptr_t handle = _beginthreadex(security, stackSize, entry, argument, flags | CREATE_SUSPENDED, id);
    if (handle) {
        SetThreadPriority(reinterpret_cast<HANDLE>(handle), THREAD_PRIORITY_ABOVE_NORMAL);
        ResumeThread(reinterpret_cast<HANDLE>(handle));
    }
    return handle;
}
}  // namespace

TEST(ThreadTest, PriorityCodesAreSetByTheThreadItself)
{
    const struct {
        int code;
        int seenInside;
        unsigned stackSize;
    } cases[] = {
        {0, THREAD_PRIORITY_ABOVE_NORMAL, 0},  // left as it was
        {1, THREAD_PRIORITY_TIME_CRITICAL, 0},
        {2, THREAD_PRIORITY_BELOW_NORMAL, 0x40000},
        {3, THREAD_PRIORITY_NORMAL, 0x40000},
        {-7, THREAD_PRIORITY_NORMAL, 0},
    };
    for (const auto& c : cases) {
        boost::shared_ptr<Body> body = boost::make_shared<Body>(true);
        unsigned id = 0;
        ASSERT_TRUE(kesh::sys::impl::startThread(body, c.code, c.stackSize, &startAboveNormal, &id));
        ASSERT_TRUE(body->started.wait());
        EXPECT_EQ(c.seenInside, body->priorityInside) << "code " << c.code;
        EXPECT_EQ(c.stackSize, stackSizeGiven) << "code " << c.code;
        joinAll();
    }
}

namespace {
// Notes on which thread it dies and whether that thread was still
// registered then.
class Mortal : public Body {
public:
    Mortal(std::atomic<DWORD>* diedOn, std::atomic<bool>* registeredAtDeath)
        : Body(true), diedOn_(diedOn), registeredAtDeath_(registeredAtDeath)
    {
        onRun = [this] { mayReturn.wait(INFINITE); };
    }
    ~Mortal()
    {
        *diedOn_ = GetCurrentThreadId();
        *registeredAtDeath_ = bool(kesh::__::threadRegistry.find(GetCurrentThreadId()));
    }
    Event mayReturn;

private:
    std::atomic<DWORD>* diedOn_;
    std::atomic<bool>* registeredAtDeath_;
};
}  // namespace

TEST(ThreadTest, BodyHeldOnlyByItsThreadDiesThereBeforeLeavingTheRegistry)
{
    std::atomic<DWORD> diedOn{0};
    std::atomic<bool> registeredAtDeath{false};
    boost::shared_ptr<Mortal> body = boost::make_shared<Mortal>(&diedOn, &registeredAtDeath);
    Mortal* raw = body.get();
    boost::shared_ptr<IThread> thread = createThread(body, 0, 0);
    body.reset();
    raw->mayReturn.set();  // still alive: the thread procedure holds it
    ASSERT_TRUE(WaitFor([&thread] { return !thread->isAlive(); }, 10000, nullptr));
    EXPECT_TRUE(thread->join());
    EXPECT_EQ(thread->getId(), diedOn.load());
    EXPECT_TRUE(registeredAtDeath);
}

namespace {
std::uintptr_t failingStarter(void*, unsigned, unsigned(__stdcall*)(void*), void*, unsigned, unsigned*)
{
    return 0;
}
}  // namespace

TEST(ThreadTest, FailedStartUndoesCountAndRecord)
{
    // A thread an earlier test joined has left the registry, but it is
    // counted until its procedure's very last step.
    ASSERT_TRUE(WaitFor([] { return running() == 0; }, 10000, nullptr));
    boost::shared_ptr<Body> body = boost::make_shared<Body>();
    unsigned id = 12345;
    EXPECT_FALSE(kesh::sys::impl::startThread(body, 0, 0, &failingStarter, &id));
    EXPECT_EQ(0, running());
    EXPECT_EQ(0u, registered());
    EXPECT_EQ(1, body.use_count());  // the start record's hold is gone
    EXPECT_EQ(12345u, id);
    joinAll();  // returns at once: a leaked count would hold it for good
}

TEST(ThreadDeathTest, MisuseEndsTheProcess)
{
    EXPECT_DEATH(createThread(boost::shared_ptr<IRunnable>(), 0, 0), "Assertion failed: runnable");
    EXPECT_DEATH(
        {
            boost::shared_ptr<Body> body = boost::make_shared<Body>();
            body->onRun = [] { joinAll(); };
            createThread(body, 0, 0);
            Sleep(INFINITE);  // the process lives until the library thread ends it
        },
        "Assertion failed: 0");
}
