#include "httpclient/exceptions.h"

#include "httpclient/filter.h"
#include "tests/httpclient_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace Tesmo;
using httptest::Thrown;

TEST(HttpErrorTableTest, TextsByCode)
{
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {0, "Not specified"},
        {100, "Unexpected error occurred."},
        {105, "Couldn't read expected bytes from a file."},
        {111, "An unexpected arithmetic error has been occurred."},
        {113, "An interger divide by zero exception has been occurred."},
        {114, "The file (%s) aleady exists."},
        {200, ""},
        {300, ""},
        {400, "::HttpQueryInfo failed."},
        {410, "::InternetSetOption failed."},
        {600, "::WideCharToMultiByte failed."},
        {603, "OpenFile (::CreateFile) failed (\"%s\")."},
        {606, "::WriteFile failed (\"%s\")."},
        {1000, "user-defined error message"},
        {1234, "user-defined error message"},
        {INT_MAX, "user-defined error message"},
        // Beside the listed entries of a group, in an empty group, below 0:
        // nothing read outside the table.
        {1, ""},
        {99, ""},
        {115, ""},
        {199, ""},
        {201, ""},
        {411, ""},
        {500, ""},
        {607, ""},
        {999, ""},
        {-1, ""},
        {-100, ""},
        {INT_MIN, ""},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(c.text, ErrorMessageA(c.code)) << c.code;
        const std::wstring wide(c.text, c.text + std::strlen(c.text));
        EXPECT_EQ(wide, ErrorMessageW(c.code)) << c.code;
    }
}

TEST(HttpExceptionTest, OwnsItsMessage)
{
    EXPECT_STREQ("httpclientexceptionW", httpclientexceptionW(L"text", 102, 8).what());
    EXPECT_STREQ("narrow text", httpclientexceptionA("narrow text", 102, 8).what());
    EXPECT_STREQ(L"NULL", httpclientexceptionW(nullptr, 0, 0).errmsg());

    // Its own text set again survives the freeing of the old one.
    httpclientexceptionW wide(L"own text", 0, 0);
    wide.seterrmsg(wide.errmsg());
    EXPECT_STREQ(L"own text", wide.errmsg());
    httpclientexceptionA narrow("own text", 0, 0);
    narrow.seterrmsg(narrow.errmsg());
    EXPECT_STREQ("own text", narrow.errmsg());

    auto* source = new httpclientexceptionW(L"copied", 603, 2);
    const httpclientexceptionW copy(*source);
    delete source;
    EXPECT_STREQ(L"copied", copy.errmsg());
    EXPECT_EQ(603, copy.ErrorCode);
    EXPECT_EQ(2u, copy.LastError);
}

TEST(HttpThrowTest, PathTakesThePlaceOfTheMarkWhole)
{
    const std::wstring chinese = L"C:\\\u622a\u56fe\\\u4e2d\u6587 \u56fe\u7247.png";
    auto e = Thrown([&] { ThrowWin32ErrorW(chinese.c_str(), HttpErrorOpenFile, 2); });
    EXPECT_EQ(L"OpenFile (::CreateFile) failed (\"" + chinese + L"\").", e.errmsg());
    EXPECT_EQ(603, e.ErrorCode);
    EXPECT_EQ(2u, e.LastError);

    e = Thrown([] { ThrowWin32ErrorW(L"C:\\a.png", HttpErrorGetFileSize, 5); });
    EXPECT_STREQ(L"::GetFileSize failed (\"C:\\a.png\").", e.errmsg());

    e = Thrown([] { ThrowWin32ErrorW(nullptr, HttpErrorOpenFile, 5); });
    EXPECT_STREQ(L"OpenFile (::CreateFile) failed (\"%s\").", e.errmsg());

    // A text without the mark stays as it is.
    e = Thrown([] { ThrowWin32ErrorW(L"C:\\a.png", HttpErrorInternetWriteFile, 12030); });
    EXPECT_STREQ(L"::InternetWriteFile failed.", e.errmsg());
}

TEST(HttpThrowTest, LongMessageIsCutAt511)
{
    const std::wstring path(600, L'\u6587');
    const auto e = Thrown([&] { ThrowWin32ErrorW(path.c_str(), HttpErrorOpenFile, 3); });
    const std::wstring message = e.errmsg();
    ASSERT_EQ(511u, message.size());
    EXPECT_EQ(L"OpenFile (::CreateFile) failed (\"" + path.substr(0, 511 - 33), message);
}

TEST(HttpThrowTest, MessagesAndCodes)
{
    const std::wstring chinese = L"\u670d\u52a1\u6682\u65f6\u4e0d\u53ef\u7528";
    auto e = Thrown([&] { ThrowMessageW(chinese.c_str()); });
    EXPECT_EQ(chinese, e.errmsg());
    EXPECT_EQ(0, e.ErrorCode);

    e = Thrown([] { ThrowErrorW(HttpErrorInvalidPort); });
    EXPECT_STREQ(L"The port number is not valid.", e.errmsg());
    EXPECT_EQ(0u, e.LastError);

    e = Thrown([] { ThrowAnsiMessageW("CHttpToolW::X: y can not be NULL.", 7, 9); });
    EXPECT_STREQ(L"CHttpToolW::X: y can not be NULL.", e.errmsg());
    EXPECT_EQ(7, e.ErrorCode);
    EXPECT_EQ(9u, e.LastError);

    e = Thrown([] {
        try {
            ThrowWin32ErrorA(HttpErrorOpenRequest, 12029);
        } catch (const httpclientexceptionA& narrow) {
            RethrowAsW(narrow);
        }
    });
    EXPECT_STREQ(L"::HttpOpenRequest failed.", e.errmsg());
    EXPECT_EQ(404, e.ErrorCode);
    EXPECT_EQ(12029u, e.LastError);
}

TEST(HttpThrowTest, GuardedArithmeticFailures)
{
    const struct {
        DWORD safeIntCode;
        int code;
    } cases[] = {{0xC0000094, 113}, {534, 112}, {0, 111}, {87, 111}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.code, Thrown([&] { ThrowSafeIntErrorW(c.safeIntCode); }).ErrorCode) << c.safeIntCode;
        try {
            ThrowSafeIntErrorA(c.safeIntCode);
        } catch (const httpclientexceptionA& e) {
            EXPECT_EQ(c.code, e.ErrorCode);
        }
    }
    // Through the members' filter, as a length computation fails.
    const auto e = Thrown([] { FilterW([] { return SafeAdd(0xFFFFFFF0u, 0x20u); }); });
    EXPECT_EQ(112, e.ErrorCode);
    EXPECT_STREQ(L"An arithmetic overflow error has been occurred.", e.errmsg());
    EXPECT_EQ(113, Thrown([] { FilterW([] { return SafeDiv(1, 0); }); }).ErrorCode);
    EXPECT_EQ(112, Thrown([] { FilterW([] { return SafeSub(1, 2); }); }).ErrorCode);
}
