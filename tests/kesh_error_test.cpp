#include "kesh/error.h"
#include "kesh/handles.h"

#include <gtest/gtest.h>

#include <windows.h>

using kesh::Error;
using kesh::ErrorCatcher;

namespace {

kesh::String systemText(DWORD code)
{
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                   nullptr, code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<wchar_t*>(&text), 0,
                   nullptr);
    const kesh::win::LocalMemory owned(text);
    return kesh::String(text);
}

Error failure(int code, const char* text)
{
    Error e;
    e.code = code;
    e.message = text;
    return e;
}

DWORD WINAPI reportOnOtherThread(void* key)
{
    kesh::reportError(key, failure(7, "elsewhere"));
    return kesh::isErrorCaught(key) ? 1 : 0;
}

}  // namespace

// A report while no catcher watches the key is dropped, not kept for the
// next catcher: a new one holds nothing.
TEST(ErrorCatcherTest, ReportWithoutCatcherIsDroppedAndANewCatcherHoldsNothing)
{
    int key = 0;
    EXPECT_FALSE(kesh::isErrorCaught(&key));
    kesh::reportError(&key, failure(1, "lost"));
    ErrorCatcher catcher(&key);
    EXPECT_TRUE(kesh::isErrorCaught(&key));
    EXPECT_EQ(0, catcher.getError().code);
    EXPECT_TRUE(catcher.getError().message.isEmpty());
}

TEST(ErrorCatcherTest, InnermostMatchingCatcherReceives)
{
    int a = 0, b = 0;
    ErrorCatcher outerA(&a);
    {
        ErrorCatcher outerB(&b);
        {
            ErrorCatcher innerA(&a);
            kesh::reportError(&a, failure(4, "first"));
            kesh::reportError(&a, failure(5, "second"));  // the last report wins
            EXPECT_EQ(5, innerA.getError().code);
            EXPECT_STREQ("second", innerA.getError().message.c_str());
            EXPECT_EQ(0, outerA.getError().code);
            EXPECT_EQ(0, outerB.getError().code);
        }
        kesh::reportError(&b, failure(2, "b"));
        EXPECT_EQ(2, outerB.getError().code);
        EXPECT_EQ(0, outerA.getError().code);
    }
    EXPECT_FALSE(kesh::isErrorCaught(&b));
    kesh::reportError(&a, failure(3, "a"));
    EXPECT_EQ(3, outerA.getError().code);
}

TEST(ErrorCatcherTest, CatchersBelongToTheirThread)
{
    int key = 0;
    ErrorCatcher catcher(&key);
    const kesh::win::KernelHandle thread(CreateThread(nullptr, 0, reportOnOtherThread, &key, 0, nullptr));
    ASSERT_TRUE(thread.isValid());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
    DWORD seenThere = 2;
    GetExitCodeThread(thread, &seenThere);
    EXPECT_EQ(0u, seenThere);
    EXPECT_EQ(0, catcher.getError().code);
}

TEST(SystemErrorTest, MapsWin32CodesAndKeepsTheSystemText)
{
    struct Case {
        DWORD win32;
        int code;
    } cases[] = {
        {ERROR_SUCCESS, 0},     {ERROR_FILE_NOT_FOUND, 1}, {ERROR_ALREADY_EXISTS, 2}, {ERROR_HANDLE_DISK_FULL, 3},
        {ERROR_ACCESS_DENIED, 4}, {ERROR_INVALID_HANDLE, 5}, {ERROR_FILE_EXISTS, 100},   {ERROR_PATH_NOT_FOUND, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.win32);
        const Error e = kesh::systemError(c.win32);
        EXPECT_EQ(c.code, e.code);
        EXPECT_STREQ(systemText(c.win32).c_str(), e.message.c_str());
    }
    EXPECT_FALSE(kesh::systemError(ERROR_INVALID_HANDLE).message.isEmpty());
    // A number the system has no text for: the code stands, the text is empty.
    const Error unknown = kesh::systemError(0x2FFFFFFF);
    EXPECT_EQ(100, unknown.code);
    EXPECT_TRUE(unknown.message.isEmpty());
}
