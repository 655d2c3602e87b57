#include "httpclient/client_map.h"

#include "httpclient/post_stat.h"
#include "httpclient/tool.h"
#include "httpclient/write_all.h"
#include "tests/httpclient_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace Tesmo;
using httptest::Thrown;

namespace {

using Map = CHttpClientMapT<CHttpToolW>;
using Stat = CHttpPostStatT<CHttpToolW>;

std::vector<std::wstring> entries(const Map& map)
{
    std::vector<std::wstring> out;
    for (const auto& e : map)
        out.push_back(std::wstring(e.first.get()) + L"=" + (e.second.value ? e.second.value.get() : L"(null)"));
    return out;
}

}  // namespace

TEST(HttpClientMapTest, OrderByNameFoldingOnlyAsciiLetters)
{
    const struct {
        std::vector<std::pair<const wchar_t*, const wchar_t*>> added;
        std::vector<std::wstring> iterated;
    } cases[] = {
        {{{L"uid", L"1"}, {L"comment", L"c"}, {L"sign", L"s"}, {L"image", L"i"}},
         {L"comment=c", L"image=i", L"sign=s", L"uid=1"}},
        // Equal names keep the order they came in, all of them.
        {{{L"Accept-Language", L"zh"}, {L"X", L"1"}, {L"accept-language", L"en"}},
         {L"Accept-Language=zh", L"accept-language=en", L"X=1"}},
        {{{L"abc", L"2"}, {L"ABC", L"1"}}, {L"abc=2", L"ABC=1"}},
        // "_" (0x5F) lies between the upper- and lower-case letters: only
        // folding A-Z down puts it before "a".
        {{{L"a", L"1"}, {L"_x", L"2"}, {L"B", L"3"}}, {L"_x=2", L"a=1", L"B=3"}},
        // Beyond ASCII nothing folds: code unit order.
        {{{L"\u00e9", L"1"}, {L"\u00c9", L"2"}, {L"z", L"3"}}, {L"z=3", L"\u00c9=2", L"\u00e9=1"}},
        {{{L"ab", nullptr}, {L"a", L""}}, {L"a=", L"ab=(null)"}},
    };
    for (const auto& c : cases) {
        Map map;
        for (const auto& a : c.added)
            map.Add(a.first, a.second, 0);
        EXPECT_EQ(c.iterated, entries(map));
        EXPECT_EQ(c.added.size(), map.Count());
    }
}

TEST(HttpClientMapTest, ClearAndRefusedName)
{
    Map map;
    EXPECT_FALSE(map.Clear());
    map.Add(L"a", L"1", HttpParamFile);
    EXPECT_EQ(HttpParamFile, map.begin()->second.flags);
    EXPECT_TRUE(map.Clear());
    EXPECT_EQ(0u, map.Count());
    EXPECT_STREQ(L"CHttpClientMapT::Add: szName can not be NULL.", Thrown([&] { map.Add(nullptr, L"v", 0); }).errmsg());
    EXPECT_STREQ(L"CHttpClientMapT::AddPointerDirectly: szName can not be NULL.",
                 Thrown([&] { map.AddPointerDirectly(nullptr, nullptr, 0); }).errmsg());
    EXPECT_EQ(0u, map.Count());
}

TEST(HttpPostStatTest, InactiveRecordRefusesEveryAccessor)
{
    const Stat stat;
    const struct {
        const char* name;
        std::function<void()> call;
    } cases[] = {
        {"TotalCount", [&] { stat.TotalCount(); }},
        {"PostedCount", [&] { stat.PostedCount(); }},
        {"FileCount", [&] { stat.FileCount(); }},
        {"PostedFileCount", [&] { stat.PostedFileCount(); }},
        {"TotalByte", [&] { stat.TotalByte(); }},
        {"PostedByte", [&] { stat.PostedByte(); }},
        {"ActualTotalByte", [&] { stat.ActualTotalByte(); }},
        {"CurrParamPostedByte", [&] { stat.CurrParamPostedByte(); }},
        {"CurrParamRemainByte", [&] { stat.CurrParamRemainByte(); }},
        {"CurrParamIsComplete", [&] { stat.CurrParamIsComplete(); }},
        {"CurrParamIsFile", [&] { stat.CurrParamIsFile(); }},
    };
    for (const auto& c : cases) {
        const auto e = Thrown(c.call);
        const std::string expected = std::string("CHttpPostStatT::") + c.name + ": The post context is not active.";
        EXPECT_EQ(std::wstring(expected.begin(), expected.end()), e.errmsg());
        EXPECT_EQ(0, e.ErrorCode);
    }
    EXPECT_FALSE(stat.IsActive());
}

TEST(HttpPostStatTest, CopiesAndOverflows)
{
    Stat stat;
    stat.m_bActive = TRUE;
    stat._StartNewEntry(true, L"image", 10, L"C:\\a.png");
    Stat copy;
    copy = stat;
    copy = copy;
    stat._StartNewEntry(false, L"uid", 3, nullptr);
    EXPECT_STREQ(L"image", copy.CurrParamName());
    EXPECT_STREQ(L"C:\\a.png", copy.CurrParamFilePath());
    EXPECT_EQ(2u, stat.PostedCount());
    EXPECT_EQ(1u, stat.PostedFileCount());

    // A count that would overflow is refused before anything changes.
    stat.m_nPostedByte = 0xFFFFFFFFu;
    EXPECT_EQ(112, Thrown([&] { stat._TestAddPostedBytes(1); }).ErrorCode);
    stat.m_nPostedCount = 0xFFFFFFFFu;
    EXPECT_EQ(112, Thrown([&] { stat._StartNewEntry(false, L"x", 0, nullptr); }).ErrorCode);
    EXPECT_STREQ(L"uid", stat.CurrParamName());
}

TEST(HttpWriteAllTest, WritesUntilAllIsWritten)
{
    // Each write takes at most the given number of bytes; 0 takes none, -1 fails.
    const struct {
        std::vector<int> takes;
        int code;          // 0: all written
        DWORD lastError;   // of a failure
        size_t calls;
    } cases[] = {
        {{10}, 0, 0, 1},
        {{3, 3, 3, 3}, 0, 0, 4},
        {{9, 1}, 0, 0, 2},
        {{4, 0}, 408, ERROR_INTERNET_CONNECTION_ABORTED, 2},
        {{0}, 408, ERROR_INTERNET_CONNECTION_ABORTED, 1},
        {{2, -1}, 408, ERROR_INVALID_HANDLE, 2},
    };
    const BYTE bytes[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (const auto& c : cases) {
        std::vector<BYTE> written;
        size_t calls = 0;
        auto write = [&](const BYTE* p, DWORD n, DWORD* done) -> BOOL {
            const int take = calls < c.takes.size() ? c.takes[calls] : 0;
            ++calls;
            if (take < 0) {
                SetLastError(ERROR_INVALID_HANDLE);
                return FALSE;
            }
            *done = std::min<DWORD>(n, take);
            written.insert(written.end(), p, p + *done);
            return TRUE;
        };
        if (c.code == 0) {
            WriteAll(write, bytes, sizeof bytes);
            EXPECT_EQ(std::vector<BYTE>(bytes, bytes + 10), written);
        } else {
            const auto e = Thrown([&] { WriteAll(write, bytes, sizeof bytes); });
            EXPECT_EQ(c.code, e.ErrorCode);
            EXPECT_EQ(c.lastError, e.LastError);
        }
        EXPECT_EQ(c.calls, calls);
    }
}
