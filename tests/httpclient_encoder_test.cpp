#include "httpclient/encoder.h"

#include "httpclient/tool.h"
#include "httpclient/url_analyzer.h"
#include "tests/httpclient_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace Tesmo;
using httptest::Thrown;

namespace {

std::string urlEncodeA(const wchar_t* text, BOOL useUtf8, UINT codePage)
{
    std::string out(CHttpEncoderW::UrlEncodeLen(text, useUtf8, codePage) + 1, '#');
    CHttpEncoderW::UrlEncodeA(text, &out[0], useUtf8, codePage);
    EXPECT_EQ('\0', out.back());
    out.pop_back();
    return out;
}

}  // namespace

TEST(HttpEncoderTest, UrlEncoding)
{
    const struct {
        const wchar_t* text;
        BOOL utf8;
        UINT codePage;
        const char* encoded;
    } cases[] = {
        {L"a b-c.d", FALSE, 1252, "a+b%2Dc%2Ed"},
        {L"~_*", FALSE, 1252, "%7E%5F%2A"},
        {L"AZaz09", FALSE, 1252, "AZaz09"},
        {L"=&?/#%+", TRUE, 0, "%3D%26%3F%2F%23%25%2B"},
        {L"\u00e9", TRUE, 1252, "%C3%A9"},
        {L"\u00e9", FALSE, 1252, "%E9"},
        {L"\u4e2d\u6587", TRUE, 0, "%E4%B8%AD%E6%96%87"},
        {L"\x7f\x01", TRUE, 0, "%7F%01"},
        {L"", TRUE, 0, ""},
        {nullptr, TRUE, 0, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.encoded, urlEncodeA(c.text, c.utf8, c.codePage)) << httptest::Narrow(c.text ? c.text : L"(null)");
        // The wide form holds the same characters.
        std::wstring wide(std::strlen(c.encoded) + 1, L'#');
        CHttpEncoderW::UrlEncodeW(c.text, &wide[0], c.utf8, c.codePage);
        EXPECT_EQ(std::wstring(c.encoded, c.encoded + std::strlen(c.encoded)), wide.c_str());
    }
}

TEST(HttpEncoderTest, UrlEncodedLengthOfBytes)
{
    const struct {
        const char* text;
        uint32_t length;
    } cases[] = {{"", 0}, {"A B", 3}, {"/", 3}, {"\xe4\xb8\xad", 9}, {"ab-", 5}};
    for (const auto& c : cases)
        EXPECT_EQ(c.length, _UrlEncodeLen(c.text)) << c.text;
    EXPECT_STREQ(L"_UrlEncodeLen: szStr can not be NULL.", Thrown([] { _UrlEncodeLen(nullptr); }).errmsg());
}

TEST(HttpEncoderTest, Utf8AgainstCodePage)
{
    const std::wstring text = L"caf\u00e9 \u4e2d";
    const uint32_t utf8Length = CHttpEncoderW::Utf8EncodeLen(text.c_str());
    ASSERT_EQ(9u, utf8Length);
    std::string utf8(utf8Length + 1, '#');
    CHttpEncoderW::Utf8Encode(text.c_str(), &utf8[0]);
    EXPECT_STREQ("caf\xc3\xa9 \xe4\xb8\xad", utf8.c_str());

    const std::wstring latin = L"caf\u00e9";
    ASSERT_EQ(4u, CHttpEncoderW::AnsiEncodeLen(latin.c_str(), 1252));
    std::string ansi(5, '#');
    CHttpEncoderW::AnsiEncode(latin.c_str(), &ansi[0], 1252);
    EXPECT_STREQ("caf\xe9", ansi.c_str());

    EXPECT_EQ(0u, CHttpEncoderW::AnsiEncodeLen(nullptr, 0));
    EXPECT_EQ(0u, CHttpEncoderW::Utf8EncodeLen(L""));
    std::string empty = "#";
    EXPECT_STREQ("", CHttpEncoderW::Utf8Encode(nullptr, &empty[0]));
}

TEST(HttpEncoderTest, RefusedArguments)
{
    const struct {
        std::function<void()> call;
        const wchar_t* message;
    } cases[] = {
        {[] { CHttpEncoderW::AnsiEncodeLen(L"x", CP_UTF8); },
         L"CHttpEncoderW::AnsiEncodeLen: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter."},
        {[] { CHttpEncoderW::Utf8Encode(L"x", nullptr); }, L"CHttpEncoderW::Utf8Encode: szBuff can not be NULL."},
        // The tool's 8-bit texts reach callers widened.
        {[] { CHttpToolW::OpenConnection(reinterpret_cast<HINTERNET>(1), L"", 80); },
         L"CHttpToolW::OpenConnection: szServerAddr can not be an empty string."},
        {[] { CHttpToolW::OpenRequest(reinterpret_cast<HINTERNET>(1), nullptr, L"GET", 0, 0); },
         L"CHttpToolW::OpenRequest: szObjectName can not be NULL."},
    };
    for (const auto& c : cases) {
        const auto e = Thrown(c.call);
        EXPECT_STREQ(c.message, e.errmsg());
        EXPECT_EQ(0, e.ErrorCode);
    }
    // The URL encoders take UTF-8 through their flag, not the code page.
    EXPECT_EQ(6u, CHttpEncoderW::UrlEncodeLen(L"\u00e9", TRUE, CP_UTF8));
}

TEST(HttpUrlAnalyzerTest, Parts)
{
    // Offset/length of scheme, host, port, path, query, fragment.
    const struct {
        const wchar_t* url;
        uint32_t parts[12];
    } cases[] = {
        {L"abc://host:8080/p/q?x=1#top", {0, 3, 6, 4, 11, 4, 15, 4, 19, 4, 23, 4}},
        {L"host/path", {0, 0, 0, 4, 4, 0, 4, 5, 9, 0, 9, 0}},
        {L"abc://host", {0, 3, 6, 4, 10, 0, 10, 0, 10, 0, 10, 0}},
        {L"abc://host?x=1", {0, 3, 6, 4, 10, 0, 10, 0, 10, 4, 14, 0}},
        {L"abc://host#f?g", {0, 3, 6, 4, 10, 0, 10, 0, 10, 0, 10, 4}},
        {L"abc:///p", {0, 3, 6, 0, 6, 0, 6, 2, 8, 0, 8, 0}},
        {L"abc://h:/p", {0, 3, 6, 1, 8, 0, 8, 2, 10, 0, 10, 0}},
        {L"abc://h:1:2/p", {0, 3, 6, 1, 8, 3, 11, 2, 13, 0, 13, 0}},
        {L"a:b://h/p", {0, 3, 6, 1, 7, 0, 7, 2, 9, 0, 9, 0}},
        {L"", {0}},
        {nullptr, {0}},
    };
    for (const auto& c : cases) {
        CHttpUrlAnalyzerT<wchar_t> a;
        a.Analyze(c.url, 0);
        const UrlPart got[] = {a.scheme, a.host, a.port, a.path, a.query, a.fragment};
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(c.parts[2 * i], got[i].offset) << httptest::Narrow(c.url ? c.url : L"(null)") << " part " << i;
            EXPECT_EQ(c.parts[2 * i + 1], got[i].length) << httptest::Narrow(c.url ? c.url : L"(null)") << " part " << i;
        }
    }
}

TEST(HttpToolTest, BoundaryShape)
{
    const WideText first = CHttpToolW::CreateBoundary();
    const WideText second = CHttpToolW::CreateBoundary();
    ASSERT_TRUE(first && second);
    const std::wstring b = first.get();
    ASSERT_EQ(43u, b.size());
    EXPECT_EQ(L"----ZOVEK-", b.substr(0, 10));
    EXPECT_EQ(L'-', b.back());
    for (wchar_t c : b.substr(10, 32))
        EXPECT_TRUE((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f')) << httptest::Narrow(b);
    EXPECT_NE(b, std::wstring(second.get()));
}

TEST(HttpToolTest, FilesSizesAndMimeTypes)
{
    httptest::TempFolder folder;
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0", 29);
    const struct {
        const wchar_t* name;
        std::string bytes;
        std::vector<std::string> types;  // what the system may call it
    } cases[] = {
        {L"\u622a\u56fe.png", png, {"image/png", "image/x-png"}},
        {L"note.txt", "plain words of a note\r\n", {"text/plain"}},
        {L"empty", "", {"application/octet-stream", "text/plain"}},
    };
    for (const auto& c : cases) {
        const std::wstring path = folder.file(c.name, c.bytes);
        const KernelHandle file = CHttpToolW::OpenFile(path.c_str());
        ASSERT_TRUE(file.isValid());
        EXPECT_EQ(c.bytes.size(), CHttpToolW::GetFileSize(file, path.c_str()));
        const AnsiText type = CHttpToolW::GetMimeType(file, 0);
        EXPECT_NE(c.types.end(), std::find(c.types.begin(), c.types.end(), std::string(type.get()))) << type.get();
        // Sniffing leaves the file at its start: its bytes are sent from there.
        char first = 0;
        DWORD read = 0;
        ReadFile(file, &first, 1, &read, nullptr);
        EXPECT_EQ(c.bytes.empty() ? 0u : 1u, read);
    }
    EXPECT_STREQ("application/octet-stream", CHttpToolW::GetMimeType(INVALID_HANDLE_VALUE, 0).get());

    const KernelHandle missing = CHttpToolW::OpenFile((folder.path() + L"\\missing.png").c_str());
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_FALSE(missing.isValid());
}

TEST(HttpToolTest, FileOf4GiBIsRefusedNotCut)
{
    httptest::TempFolder folder;
    const std::wstring path = folder.sparseFile(L"huge.bin", (1ll << 32) + 10);
    const KernelHandle file = CHttpToolW::OpenFile(path.c_str());
    const auto e = Thrown([&] { CHttpToolW::GetFileSize(file, path.c_str()); });
    EXPECT_EQ(112, e.ErrorCode);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_TOO_LARGE), e.LastError);
}
