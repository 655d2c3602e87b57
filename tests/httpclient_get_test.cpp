// GET against the local test server, byte for byte as the server received it,
// and the URL rules checked through the handles WinINet builds from them.

#include "httpclient/client.h"
#include "tests/httpclient_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Tesmo;
using httptest::ServerUrl;
using httptest::Thrown;

namespace {

struct Param {
    const wchar_t* name;
    const wchar_t* value;
    DWORD flags;
};

// The request line a GET of path with params puts on the wire.
std::string requestLineOf(const std::wstring& path, const std::vector<Param>& params, bool utf8)
{
    CHttpClient client;
    if (utf8)
        client.SetUseUtf8();
    for (const auto& p : params)
        client.AddParam(p.name, p.value, p.flags);
    auto response = client.RequestGet(ServerUrl(path).c_str(), CHttpClient::kRequestFlags);
    response->GetStatus();
    httptest::ReadBody(*response);
    return httptest::LastRecorded().requestLine;
}

// The URL WinINet makes of the connection and request the client opens for url.
std::wstring requestUrlOf(const wchar_t* url)
{
    CHttpClient client;
    InternetHandle internet(InternetOpenW(L"test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    InternetHandle connection = client.OpenConnection(url, internet);
    InternetHandle request = client.OpenRequest(url, connection, L"GET", CHttpClient::kRequestFlags);
    wchar_t made[512];
    DWORD size = sizeof made;
    if (!InternetQueryOptionW(request, INTERNET_OPTION_URL, made, &size))
        return L"(no URL)";
    return made;
}

}  // namespace

TEST(HttpGetTest, ObjectNamesAndQueryStrings)
{
    const struct {
        std::wstring path;
        std::vector<Param> params;
        bool utf8;
        const char* requestLine;
    } cases[] = {
        {L"/echo/p", {{L"a", L"1", 0}, {L"b", L"x y", 0}}, false, "GET /echo/p?a=1&b=x+y HTTP/1.1"},
        {L"/echo/p?k=v#f", {{L"a", L"1", 0}}, false, "GET /echo/p?k=v&a=1#f HTTP/1.1"},
        {L"", {}, false, "GET / HTTP/1.1"},
        {L"?x=1", {}, false, "GET /?x=1 HTTP/1.1"},
        {L"", {{L"q", nullptr, 0}}, false, "GET /?q= HTTP/1.1"},
        {L"/echo", {{L"v", L"\u00e9", 0}}, true, "GET /echo?v=%C3%A9 HTTP/1.1"},
        {L"/echo", {{L"\u540d", L"\u4e2d\u6587", 0}}, true, "GET /echo?%E5%90%8D=%E4%B8%AD%E6%96%87 HTTP/1.1"},
        {L"/echo", {{L"n_m", L"%41-b", HttpParamRawName | HttpParamRawValue}, {L"n_m", L"%41-b", 0}}, false,
         "GET /echo?n_m=%41-b&n%5Fm=%2541%2Db HTTP/1.1"},
        {L"/echo", {{L"uid", L"1", 0}, {L"comment", L"c", 0}, {L"Sign", L"s", 0}}, false,
         "GET /echo?comment=c&Sign=s&uid=1 HTTP/1.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.requestLine, requestLineOf(c.path, c.params, c.utf8)) << httptest::Narrow(c.path);
}

TEST(HttpGetTest, GetUrlLengthAgreesWithTheUrl)
{
    const struct {
        const wchar_t* url;
        std::vector<Param> params;
    } cases[] = {
        {L"http://h/p?k=v#frag", {{L"a b", L"\u4e2d", 0}, {L"_", nullptr, 0}}},
        {L"http://h", {{L"r", L"%%", HttpParamRawValue}, {L"\u00e9", L"x", HttpParamRawName}}},
        {L"http://h#f", {{L"a", L"1", 0}}},
        {L"http://h/p", {}},
        {L"", {{L"a", L"1", 0}}},
    };
    for (const auto& c : cases) {
        CHttpClient client;
        client.SetUseUtf8();
        for (const auto& p : c.params)
            client.AddParam(p.name, p.value, p.flags);
        const uint32_t length = client._MakeGetUrlLen(c.url);
        std::wstring buffer(length + 8, L'#');
        client.MakeGetUrl(c.url, &buffer[0]);
        EXPECT_EQ(length, std::wcslen(buffer.c_str())) << httptest::Narrow(c.url);
        EXPECT_EQ(std::wstring(7, L'#'), buffer.substr(length + 1)) << httptest::Narrow(c.url);
    }
    CHttpClient client;
    EXPECT_STREQ(L"CHttpClientT::MakeGetUrl: szBuff can not be NULL.",
                 Thrown([&] { client.MakeGetUrl(L"http://h", nullptr); }).errmsg());
}

TEST(HttpGetTest, StoredHeadersFollowCacheControlInNameOrder)
{
    const struct {
        DWORD flags;
        std::vector<std::string> names;
    } cases[] = {
        {CHttpClient::kRequestFlags, {"Cache-Control", "Accept-Language", "accept-language", "X-b"}},
        {CHttpClient::kRequestFlags & ~INTERNET_FLAG_PRAGMA_NOCACHE, {"Accept-Language", "accept-language", "X-b"}},
    };
    for (const auto& c : cases) {
        CHttpClient client;
        client.AddHeader(L"X-b", L"2");
        client.AddHeader(L"Accept-Language", L"zh-CN");
        client.AddHeader(L"accept-language", L"en");
        auto response = client.RequestGet(ServerUrl(L"/echo").c_str(), c.flags);
        const auto sent = httptest::ParseRequest(httptest::ReadBody(*response));
        EXPECT_EQ(c.names, sent.namesAmong({"Cache-Control", "Accept-Language", "X-b"}));
        EXPECT_EQ("zh-CN", sent.header("Accept-Language"));
    }
    CHttpClient client;
    EXPECT_STREQ(L"CHttpClientT::AddHeader: szValue can not be NULL.",
                 Thrown([&] { client.AddHeader(L"a", nullptr); }).errmsg());
    EXPECT_STREQ(L"CHttpClientT::AddHeader: szValue can not be an empty string.",
                 Thrown([&] { client.AddHeader(L"a", L""); }).errmsg());
    EXPECT_STREQ(L"CHttpClientMapT::Add: szName can not be NULL.",
                 Thrown([&] { client.AddHeader(nullptr, L"v"); }).errmsg());
}

TEST(HttpGetTest, AgentText)
{
    const struct {
        std::vector<const wchar_t*> set;
        const char* agent;
    } cases[] = {{{}, "Tesmo HTTP Client Class"}, {{L"Vomla"}, "Vomla"}, {{L"Norpa", L"Norpa"}, "Norpa"},
                 {{L"Vomla", nullptr}, "Tesmo HTTP Client Class"}};
    for (const auto& c : cases) {
        CHttpClient client;
        for (const wchar_t* agent : c.set)
            client.SetAgentName(agent);
        auto response = client.RequestGet(ServerUrl(L"/echo").c_str(), CHttpClient::kRequestFlags);
        EXPECT_EQ(c.agent, httptest::ParseRequest(httptest::ReadBody(*response)).header("User-Agent"));
    }
}

TEST(HttpConnectionTest, PortSchemeAndObjectName)
{
    const struct {
        const wchar_t* url;
        const wchar_t* made;
    } cases[] = {
        {L"http://h:8080/p", L"http://h:8080/p"},
        {L"http://h:65535/", L"http://h:65535/"},
        {L"http://h:/p", L"http://h/p"},
        {L"https://h/p", L"https://h/p"},
        {L"HTTPS://h:8443/x?y", L"https://h:8443/x?y"},
        {L"httpsx://h/p", L"http://h/p"},
        {L"abc://host", L"http://host/"},
        {L"abc://host?x=1", L"http://host/?x=1"},
        {L"host/path", L"http://host/path"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(c.made), requestUrlOf(c.url)) << httptest::Narrow(c.url);
}

TEST(HttpConnectionTest, RefusedPortsAndHosts)
{
    const struct {
        const wchar_t* url;
        int code;
    } cases[] = {
        {L"http://h:65536/", 107}, {L"http://h:123456/", 107}, {L"http://h:80a/", 107},
        {L"http://h:+80/", 107},   {L"http://h: 80/", 107},    {L"http://h:1:2/", 107},
        {L"abc:///p", 103},        {L"", 103},                 {L"http://:80/p", 103},
        {L"http://:99999/p", 107},
    };
    CHttpClient client;
    InternetHandle internet(InternetOpenW(L"test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    for (const auto& c : cases) {
        const auto e = Thrown([&] { client.OpenConnection(c.url, internet); });
        EXPECT_EQ(c.code, e.ErrorCode) << httptest::Narrow(c.url);
        EXPECT_EQ(0u, e.LastError);
    }
    EXPECT_STREQ(L"CHttpClientT::OpenConnection: hInternet can not be NULL.",
                 Thrown([&] { client.OpenConnection(L"http://h/", nullptr); }).errmsg());
    // A GET with such a URL fails the same way.
    EXPECT_EQ(107, Thrown([&] { client.RequestGet(L"http://127.0.0.1:70000/", 0); }).ErrorCode);
}

TEST(HttpGetTest, ErrorStatusesAreAnswers)
{
    for (const DWORD status : {404u, 500u}) {
        CHttpClient client;
        auto response =
            client.RequestGet(ServerUrl(L"/status/" + std::to_wstring(status)).c_str(), CHttpClient::kRequestFlags);
        EXPECT_EQ(status, response->GetStatus());
        EXPECT_EQ(status, response->GetStatus());
        EXPECT_EQ("status " + std::to_string(status), httptest::ReadBody(*response));
    }
}

TEST(HttpGetTest, FailuresCarryTheSystemError)
{
    CHttpClient client;
    const std::wstring refused = L"http://127.0.0.1:" + std::to_wstring(httptest::RefusedPort()) + L"/x";
    auto e = Thrown([&] { client.RequestGet(refused.c_str(), CHttpClient::kRequestFlags); });
    EXPECT_EQ(406, e.ErrorCode);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT), e.LastError);
    EXPECT_STREQ(L"::HttpSendRequest failed.", e.errmsg());

    // A server that closes without an answer: the send fails, or (on
    // systems that report success there) the status cannot be read.
    e = Thrown([&] {
        auto response = client.RequestGet(ServerUrl(L"/close").c_str(), CHttpClient::kRequestFlags);
        response->GetStatus();
    });
    EXPECT_TRUE(e.ErrorCode == 406 || e.ErrorCode == 400) << e.ErrorCode;
    EXPECT_TRUE(e.LastError == ERROR_HTTP_INVALID_SERVER_RESPONSE || e.LastError == ERROR_INTERNET_CONNECTION_RESET ||
                e.LastError == ERROR_INTERNET_CONNECTION_ABORTED)
        << e.LastError;
}

TEST(HttpGetTest, CancelBeforeTheRequestIsOpenedIsKept)
{
    // The window's thread may cancel while the worker is still opening the
    // GET's handles, when there is no request to close yet: the GET must
    // then not go out.
    CHttpClient client;
    EXPECT_TRUE(client.Cancel());
    const auto e = Thrown([&] { client.RequestGet(ServerUrl(L"/echo/cancelled").c_str(), CHttpClient::kRequestFlags); });
    EXPECT_EQ(406, e.ErrorCode);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_OPERATION_CANCELLED), e.LastError);
    EXPECT_NE("GET /echo/cancelled HTTP/1.1", httptest::LastRecorded().requestLine);
}

TEST(HttpGetTest, BodiesArriveWhole)
{
    std::string withNuls;
    for (int i = 0; i < 3000; ++i)
        withNuls.push_back(static_cast<char>(i % 251));
    std::string slow;
    for (int i = 0; i < 5600; ++i)
        slow.push_back(static_cast<char>((i * 13) % 256));
    const struct {
        const wchar_t* path;
        const std::string& body;
    } cases[] = {{L"/nul", withNuls}, {L"/slow", slow}};
    for (const auto& c : cases) {
        CHttpClient client;
        auto response = client.RequestGet(ServerUrl(c.path).c_str(), CHttpClient::kRequestFlags);
        EXPECT_EQ(200u, response->GetStatus());
        const std::string body = httptest::ReadBody(*response);
        EXPECT_EQ(c.body.size(), body.size());
        EXPECT_TRUE(c.body == body) << httptest::Narrow(c.path);
    }
}

TEST(HttpGetTest, ContentLimitEndsAnEndlessBody)
{
    CHttpClient client;
    auto response = client.RequestGet(ServerUrl(L"/endless").c_str(), CHttpClient::kRequestFlags);
    response->SetContentLimit(256 * 1024);
    size_t read = 0;
    const auto e = Thrown([&] {
        BYTE buffer[CHttpResponse::kReadSize];
        while (const DWORD n = response->ReadContent(buffer))
            read += n;
    });
    EXPECT_EQ(401, e.ErrorCode);
    EXPECT_EQ(0u, e.LastError);
    EXPECT_STREQ(L"CHttpResponseT::ReadContent: The content is longer than 262144 bytes.", e.errmsg());
    EXPECT_LE(read, 256u * 1024);
    EXPECT_GT(read, 255u * 1024);

    // A body exactly as long as the limit is read to its end.
    auto exact = client.RequestGet(ServerUrl(L"/big/5000").c_str(), CHttpClient::kRequestFlags);
    exact->SetContentLimit(5000);
    EXPECT_EQ(5000u, httptest::ReadBody(*exact).size());
}
