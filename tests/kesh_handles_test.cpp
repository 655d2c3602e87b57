#include "kesh/handles.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

bool IsOpen(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

HANDLE NewEvent() { return CreateEventW(nullptr, TRUE, FALSE, nullptr); }

}  // namespace

TEST(HandleGuard, KernelKindsTakeNullAndInvalidHandleValueForNone)
{
    for (HANDLE none : {HANDLE(nullptr), INVALID_HANDLE_VALUE}) {
        kesh::win::KernelHandle guard(none);
        EXPECT_FALSE(guard.isValid()) << none;
    }
    EXPECT_EQ(INVALID_HANDLE_VALUE, kesh::win::FindHandle().get());
    EXPECT_FALSE(kesh::win::FindHandle().isValid());
}

TEST(HandleGuard, ClosesOnceWhenItGoesAndMovesOwnership)
{
    HANDLE raw = NewEvent();
    {
        kesh::win::KernelHandle first(raw);
        kesh::win::KernelHandle second(std::move(first));
        EXPECT_FALSE(first.isValid());
        EXPECT_EQ(raw, second.get());
        kesh::win::KernelHandle third;
        third = std::move(second);
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw));

    HANDLE kept = NewEvent();
    {
        kesh::win::KernelHandle guard(kept);
        EXPECT_EQ(kept, guard.Detach());
    }
    EXPECT_TRUE(IsOpen(kept));
    kesh::win::KernelHandle(kept).reset();
    EXPECT_FALSE(IsOpen(kept));
}

TEST(HandleGuard, AttachAndReceiveReleaseWhatWasHeldFirst)
{
    HANDLE old = NewEvent();
    kesh::win::KernelHandle guard(old);
    guard.Attach(NewEvent());
    EXPECT_FALSE(IsOpen(old));
    HANDLE* slot = guard.Receive();
    EXPECT_EQ(nullptr, *slot);
    *slot = NewEvent();
    EXPECT_TRUE(guard.isValid());
}

// Even a release that fails (a handle value nothing owns) leaves the error
// being reported as it was.
TEST(HandleGuard, ReleasingKeepsTheThreadsLastError)
{
    HANDLE const bogus = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7FFF0));
    {
        kesh::win::KernelHandle guard(bogus);
        SetLastError(ERROR_FILE_NOT_FOUND);
    }
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    SetLastError(ERROR_FILE_NOT_FOUND);
    CloseHandle(bogus);
    EXPECT_NE(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError()) << "the case would prove nothing";
}
