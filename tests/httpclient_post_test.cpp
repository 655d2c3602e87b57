// The multipart POST step by step, byte for byte as the server received it,
// its statistics, its failures and a cancel from another thread.

#include "httpclient/client_post.h"
#include "kesh/random.h"
#include "tests/httpclient_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

using namespace Tesmo;
using httptest::ServerUrl;
using httptest::Thrown;

namespace {

const DWORD kFlags = CHttpClient::kRequestFlags;

// A POST that a test cuts short starts after CHttpToolW::DropIdleConnections,
// on a connection of its own that then closes with it: Wine puts a connection
// whose body was cut short back among the idle ones, where the next request
// picks it up and is read as the rest of that body.

struct Param {
    std::wstring name;
    std::wstring value;  // a file's name in the test's folder for a file
    bool isFile;
};

std::string noise(size_t size)
{
    kesh::util::impl::Random random;
    random.seed(14);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random.next());
    return bytes;
}

// A POST to /echo run to its end.
struct Posted {
    int steps = 0;  // before the one that returned the response
    uint32_t declared = 0;
    httptest::RawRequest request;
    std::string boundary;
};

Posted postToEcho(CHttpClient& client)
{
    Posted posted;
    client.StartMultipartPost(ServerUrl(L"/echo").c_str(), kFlags);
    posted.declared = client.GetPostStat().ActualTotalByte();
    std::unique_ptr<CHttpResponse> response;
    while (!(response = client.PostNextChunk()) && posted.steps < 100000)
        ++posted.steps;
    EXPECT_FALSE(client.GetPostStat().IsActive());
    EXPECT_EQ(200u, response->GetStatus());
    posted.request = httptest::ParseRequest(httptest::ReadBody(*response));
    const std::string type = posted.request.header("Content-Type");
    const std::string prefix = "multipart/form-data; boundary=";
    EXPECT_EQ(prefix, type.substr(0, prefix.size()));
    posted.boundary = type.substr(prefix.size());
    // What was declared is what arrived.
    EXPECT_EQ(std::to_string(posted.request.body.size()), posted.request.header("Content-Length"));
    EXPECT_EQ(posted.declared, posted.request.body.size());
    return posted;
}

std::string textPart(const std::string& b, const std::string& name, const std::string& value)
{
    return "--" + b + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
}

// fileName: the file's name alone, never the folders above it.
std::string filePart(const std::string& b, const std::string& name, const std::string& fileName,
                     const std::string& type, const std::string& bytes)
{
    return "--" + b + "\r\nContent-Disposition: form-data; name=\"" + name + "\"; filename=\"" + fileName +
           "\"\r\nContent-Type: " + type + "\r\n\r\n" + bytes + "\r\n";
}

std::string mimeTypeOf(const std::wstring& path)
{
    const KernelHandle file = CHttpToolW::OpenFile(path.c_str());
    return CHttpToolW::GetMimeType(file, 0).get();
}

// The client's state after a failed POST: no POST, nothing of it left open.
void expectEnded(CHttpClient& client, const std::vector<std::wstring>& files)
{
    EXPECT_FALSE(client.GetPostStat().IsActive());
    EXPECT_EQ(104, Thrown([&] { client.PostNextChunk(); }).ErrorCode);
    for (const auto& f : files)
        EXPECT_TRUE(DeleteFileW(f.c_str())) << "still open: " << httptest::Narrow(f);
}

}  // namespace

TEST(HttpPostTest, BodyByteForByte)
{
    httptest::TempFolder folder;
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0", 29);
    const std::wstring pngPath = folder.file(L"\u622a\u56fe 1.png", png);
    const std::string pngType = mimeTypeOf(pngPath);
    const struct {
        std::vector<std::tuple<std::wstring, std::wstring, DWORD>> params;
        int steps;
        std::function<std::string(const std::string&)> body;
    } cases[] = {
        {{}, 1, [](const std::string& b) { return "\r\n--" + b + "--\r\n"; }},
        {{{L"uid", L"1", 0}, {L"comment", L"", 0}, {L"sign", L"s", 0}, {L"image", pngPath, HttpParamFile}},
         8,
         [&](const std::string& b) {
             return textPart(b, "comment", "") + filePart(b, "image", "\xe6\x88\xaa\xe5\x9b\xbe 1.png", pngType, png) +
                    textPart(b, "sign", "s") + textPart(b, "uid", "1") + "--" + b + "--\r\n";
         }},
        {{{L"comment", L"\u4e2d\u6587 \u8bc4\u8bba&=%", 0}, {L"\u540d", L"x", 0}},
         5,
         [](const std::string& b) {
             return textPart(b, "comment", "\xe4\xb8\xad\xe6\x96\x87 \xe8\xaf\x84\xe8\xae\xba&=%") +
                    textPart(b, "\xe5\x90\x8d", "x") + "--" + b + "--\r\n";
         }},
    };
    for (const auto& c : cases) {
        CHttpClient client;
        client.SetUseUtf8();
        for (const auto& p : c.params)
            client.AddParam(std::get<0>(p).c_str(), std::get<1>(p).c_str(), std::get<2>(p));
        const Posted posted = postToEcho(client);
        EXPECT_EQ(c.steps, posted.steps);
        EXPECT_EQ(43u, posted.boundary.size());
        EXPECT_TRUE(c.body(posted.boundary) == posted.request.body) << posted.request.body;
    }
}

TEST(HttpPostTest, DataGoesInStepsOf4096)
{
    httptest::TempFolder folder;
    // Steps: the part header (with the line end at once when empty), the
    // chunks, the closing line.
    const struct {
        size_t size;
        int steps;
    } cases[] = {{0, 2}, {1, 3}, {4096, 3}, {4097, 4}, {8192, 4}, {10000, 5}};
    for (const auto& c : cases) {
        const std::string bytes = noise(c.size);
        const std::wstring path = folder.file(L"f" + std::to_wstring(c.size) + L".bin", bytes);
        CHttpClient client;
        client.AddParam(L"image", path.c_str(), HttpParamFile);
        const Posted posted = postToEcho(client);
        EXPECT_EQ(c.steps, posted.steps) << c.size;
        const std::string expected = filePart(posted.boundary, "image", "f" + std::to_string(c.size) + ".bin",
                                              mimeTypeOf(path), bytes) + "--" + posted.boundary + "--\r\n";
        EXPECT_TRUE(expected == posted.request.body) << c.size;
    }
}

TEST(HttpPostTest, MissingFile)
{
    httptest::TempFolder folder;
    const std::wstring missing = folder.path() + L"\\\u7f3a.png";

    CHttpClient lenient;
    lenient.SetUseUtf8();
    lenient.AddParam(L"image", missing.c_str(), HttpParamFile);
    const Posted posted = postToEcho(lenient);
    EXPECT_EQ(2, posted.steps);
    EXPECT_TRUE(filePart(posted.boundary, "image", "\xe7\xbc\xba.png", "application/octet-stream", "") + "--" +
                    posted.boundary + "--\r\n" ==
                posted.request.body);

    CHttpClient strict;
    strict.m_bStrictFile = TRUE;
    strict.AddParam(L"image", missing.c_str(), HttpParamFile);
    const auto e = Thrown([&] { strict.StartMultipartPost(ServerUrl(L"/echo").c_str(), kFlags); });
    EXPECT_EQ(603, e.ErrorCode);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), e.LastError);
    EXPECT_EQ(L"OpenFile (::CreateFile) failed (\"" + missing + L"\").", e.errmsg());
    expectEnded(strict, {});
}

TEST(HttpPostTest, StatisticsBeforeAndAfterTheFirstStep)
{
    httptest::TempFolder folder;
    const std::wstring path = folder.file(L"a.bin", noise(5000));
    CHttpClient client;
    client.AddParam(L"uid", L"7", 0);
    client.AddParam(L"image", path.c_str(), HttpParamFile);
    client.StartMultipartPost(ServerUrl(L"/echo").c_str(), kFlags);

    CHttpPostStat stat;
    stat = client.GetPostStat();
    EXPECT_EQ(2u, stat.TotalCount());
    EXPECT_EQ(1u, stat.FileCount());
    EXPECT_EQ(5001u, stat.TotalByte());
    EXPECT_EQ(1u, stat.PostedCount());
    EXPECT_EQ(1u, stat.PostedFileCount());
    EXPECT_STREQ(L"image", stat.CurrParamName());
    EXPECT_EQ(path, stat.CurrParamFilePath());
    EXPECT_EQ(5000u, stat.CurrParamRemainByte());
    EXPECT_EQ(0u, stat.ActualPostedByte());
    // The file is held open while the POST runs: nobody writes to it.
    const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const kesh::win::KernelHandle writer(CreateFileW(path.c_str(), GENERIC_WRITE, all, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(writer.isValid());

    ASSERT_EQ(nullptr, client.PostNextChunk());
    stat = client.GetPostStat();
    EXPECT_EQ(1u, stat.PostedCount());
    EXPECT_EQ(0u, stat.PostedByte());
    EXPECT_EQ(5000u, stat.CurrParamRemainByte());
    const uint32_t header = stat.ActualPostedByte();
    EXPECT_GT(header, 0u);

    ASSERT_EQ(nullptr, client.PostNextChunk());
    stat = client.GetPostStat();
    EXPECT_EQ(4096u, stat.PostedByte());
    EXPECT_EQ(904u, stat.CurrParamRemainByte());
    EXPECT_EQ(header + 4096, stat.ActualPostedByte());

    while (!client.PostNextChunk()) {
    }
    EXPECT_FALSE(client.GetPostStat().IsActive());
    EXPECT_TRUE(stat.IsActive());  // a copy keeps what it copied
}

TEST(HttpPostTest, WhatARunningPostAllows)
{
    httptest::TempFolder folder;
    const std::wstring path = folder.file(L"a.bin", noise(100));
    CHttpClient client;
    EXPECT_EQ(104, Thrown([&] { client.PostNextChunk(); }).ErrorCode);
    client.AddParam(L"a", L"1", 0);
    client.StartMultipartPost(ServerUrl(L"/echo").c_str(), kFlags);
    client.PostNextChunk();
    EXPECT_STREQ(L"CHttpClientT::AddParam: It is not allowed to call this method if the POST context is active.",
                 Thrown([&] { client.AddParam(L"b", L"2", 0); }).errmsg());
    EXPECT_STREQ(L"CHttpClientT::SetUseUtf8: It is not allowed to call this method if the POST context is active.",
                 Thrown([&] { client.SetUseUtf8(); }).errmsg());
    client.AddHeader(L"X-Late", L"1");
    std::unique_ptr<CHttpResponse> response;
    while (!(response = client.PostNextChunk())) {
    }
    const auto sent = httptest::ParseRequest(httptest::ReadBody(*response));
    EXPECT_EQ(std::string::npos, sent.body.find("name=\"b\""));
    EXPECT_EQ(104, Thrown([&] { client.PostNextChunk(); }).ErrorCode);

    // A GET abandons a running POST and closes its file.
    client.AddParam(L"image", path.c_str(), HttpParamFile);
    CHttpToolW::DropIdleConnections();
    client.StartMultipartPost(ServerUrl(L"/echo").c_str(), kFlags);
    client.PostNextChunk();
    auto get = client.RequestGet(ServerUrl(L"/echo/get").c_str(), kFlags);
    EXPECT_EQ(200u, get->GetStatus());
    EXPECT_EQ("GET /echo/get?a=1&image=", httptest::ParseRequest(httptest::ReadBody(*get)).requestLine.substr(0, 24));
    expectEnded(client, {path});
}

TEST(HttpPostFailureTest, StartFailures)
{
    httptest::TempFolder folder;
    const std::wstring huge = folder.sparseFile(L"huge.bin", (1ll << 32) + 10);
    const std::wstring refused = L"http://127.0.0.1:" + std::to_wstring(httptest::RefusedPort()) + L"/x";
    const struct {
        std::wstring url;
        const wchar_t* file;
        int code;
        DWORD lastError;
    } cases[] = {
        // A file of 4 GiB or more is refused, not sent cut to 32 bits.
        {ServerUrl(L"/echo"), huge.c_str(), 112, ERROR_FILE_TOO_LARGE},
        {refused, nullptr, 407, ERROR_INTERNET_CANNOT_CONNECT},
        {L"http://127.0.0.1:99999/x", nullptr, 107, 0},
    };
    for (const auto& c : cases) {
        const std::wstring small = folder.file(L"small.bin", "12345");
        CHttpClient client;
        client.AddParam(L"a", small.c_str(), HttpParamFile);
        if (c.file)
            client.AddParam(L"b", c.file, HttpParamFile);
        const auto e = Thrown([&] { client.StartMultipartPost(c.url.c_str(), kFlags); });
        EXPECT_EQ(c.code, e.ErrorCode) << httptest::Narrow(c.url);
        EXPECT_EQ(c.lastError, e.LastError) << httptest::Narrow(c.url);
        expectEnded(client, {small});
    }
}

TEST(HttpPostFailureTest, ServerClosesMidBody)
{
    httptest::TempFolder folder;
    const std::wstring path = folder.file(L"big.bin", noise(16 << 20));
    CHttpClient client;
    client.AddParam(L"image", path.c_str(), HttpParamFile);
    CHttpToolW::DropIdleConnections();
    client.StartMultipartPost(ServerUrl(L"/close-body").c_str(), kFlags);
    const auto e = Thrown([&] {
        while (!client.PostNextChunk()) {
        }
    });
    EXPECT_EQ(408, e.ErrorCode);
    EXPECT_NE(0u, e.LastError);
    expectEnded(client, {path});
}

TEST(HttpPostFailureTest, FileShrunkAfterTheStart)
{
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName =
        reinterpret_cast<UnixName>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        GTEST_SKIP() << "only Wine lets the server reach the file by its host path";
    httptest::TempFolder folder;
    const std::wstring path = folder.file(L"shrinks.bin", noise(10000));
    char* hostPath = unixName(path.c_str());
    std::wstring hostPathW(hostPath, hostPath + std::strlen(hostPath));
    HeapFree(GetProcessHeap(), 0, hostPath);

    CHttpClient client;
    client.AddParam(L"image", path.c_str(), HttpParamFile);
    CHttpToolW::DropIdleConnections();
    client.StartMultipartPost(ServerUrl(L"/echo").c_str(), kFlags);
    CHttpClient helper;
    helper.AddParam(L"path", hostPathW.c_str(), 0);
    EXPECT_EQ(200u, helper.RequestGet(ServerUrl(L"/truncate/5000").c_str(), kFlags)->GetStatus());

    const auto e = Thrown([&] {
        while (!client.PostNextChunk()) {
        }
    });
    EXPECT_EQ(105, e.ErrorCode);
    EXPECT_EQ(static_cast<DWORD>(ERROR_HANDLE_EOF), e.LastError);
    expectEnded(client, {path});
}

TEST(HttpPostFailureTest, APostEndedEarlyLeavesNoConnectionForTheNextRequest)
{
    // The POST takes over the connection a GET left idle, as an upload does
    // after fetching its configuration, and ends with part of its body
    // sent. The next request must reach the server as a request of its own,
    // not as the rest of that body (which would stall it for the server's
    // time limit, or answer it with the POST's reply).
    httptest::TempFolder folder;
    const std::wstring path = folder.file(L"big.bin", noise(1 << 20));
    struct Case {
        const char* how;
        std::function<void(std::unique_ptr<CHttpClient>&)> end;
    } cases[] = {
        {"cancelled",
         [](std::unique_ptr<CHttpClient>& client) {
             EXPECT_TRUE(client->Cancel());
             Thrown([&] { client->PostNextChunk(); });
         }},
        {"its client gone", [](std::unique_ptr<CHttpClient>& client) { client.reset(); }},
    };
    for (const Case& c : cases) {
        CHttpToolW::DropIdleConnections();
        {
            CHttpClient configuration;
            httptest::ReadBody(*configuration.RequestGet(ServerUrl(L"/sink").c_str(), kFlags));
        }
        auto client = std::make_unique<CHttpClient>();
        client->AddParam(L"image", path.c_str(), HttpParamFile);
        client->StartMultipartPost(ServerUrl(L"/echo").c_str(), kFlags);
        for (int step = 0; step < 20; ++step)
            ASSERT_FALSE(client->PostNextChunk()) << c.how;
        c.end(client);

        unsigned long received = 0;
        const httptest::RawRequest post = httptest::LastRecorded(&received);
        EXPECT_EQ(0u, post.requestLine.rfind("POST /echo ", 0)) << c.how << ": " << post.requestLine;
        EXPECT_LT(received, 1ul << 20) << c.how;
        EXPECT_EQ(std::string::npos, post.body.find("/recorded")) << c.how << ": the next request went into the body";
    }
}

TEST(HttpPostCancelTest, CloseFromAnotherThreadEndsThePost)
{
    httptest::TempFolder folder;
    const std::wstring path = folder.file(L"big.bin", noise(64 << 20));
    CHttpClient client;
    client.AddParam(L"image", path.c_str(), HttpParamFile);
    CHttpToolW::DropIdleConnections();
    client.StartMultipartPost(ServerUrl(L"/slow-read").c_str(), kFlags);

    struct Worker {
        CHttpClient* client;
        KernelHandle running{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
        bool failed = false;
        int code = -1;
        DWORD lastError = 0;
        uint32_t posted = 0;
        static DWORD WINAPI run(void* p)
        {
            auto* w = static_cast<Worker*>(p);
            try {
                for (int step = 0; !w->client->PostNextChunk(); ++step) {
                    w->posted = w->client->GetPostStat().PostedByte();
                    if (step == 64)
                        SetEvent(w->running);
                }
            } catch (const httpclientexceptionW& e) {
                w->failed = true;
                w->code = e.ErrorCode;
                w->lastError = e.LastError;
            }
            SetEvent(w->running);
            return 0;
        }
    } worker{&client};
    KernelHandle thread(CreateThread(nullptr, 0, Worker::run, &worker, 0, nullptr));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker.running, 60000));
    EXPECT_TRUE(client.Cancel());
    EXPECT_FALSE(client.Cancel());
    // An outer limit only: the worker's blocked write ends as the server reads on.
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 60000));

    EXPECT_TRUE(worker.failed);
    // The next step finds its handle gone, or the blocked call fails: either
    // way a failed write or end, with the system's reason.
    EXPECT_TRUE(worker.code == 408 || worker.code == 409) << worker.code;
    EXPECT_NE(0u, worker.lastError);
    EXPECT_LT(worker.posted, 32u << 20);
    expectEnded(client, {path});
}
