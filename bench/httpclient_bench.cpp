// The HTTP client against plain WinINet loops in the same program, on the
// local test server. Run it inside the server:
//   python3 tests/servers/http_test_server.py -- scripts/wine-run build/bin/httpclient_bench.exe
// Goal: a GET of 10 MiB read through ReadContent within 10% of a raw
// InternetReadFile loop with the same 1024-byte reads.
#include "bench/bench_timer.h"
#include "httpclient/client.h"

#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Tesmo::CHttpClient;
using Tesmo::InternetHandle;

const DWORD kGetBytes = 10u << 20;
volatile DWORD sink;

std::wstring serverUrl(const std::wstring& path)
{
    const char* port = std::getenv("NORPA_HTTP_TEST_PORT");
    if (!port) {
        std::fprintf(stderr, "run inside tests/servers/http_test_server.py\n");
        std::exit(2);
    }
    return L"http://127.0.0.1:" + std::to_wstring(std::atoi(port)) + path;
}

double mibPerSecond(DWORD bytes, double ms) { return bytes / 1048576.0 / (ms / 1000.0); }

// One GET of path through the client, read to its end.
void clientGet(const std::wstring& url)
{
    CHttpClient client;
    auto response = client.RequestGet(url.c_str(), CHttpClient::kRequestFlags);
    BYTE buffer[Tesmo::CHttpResponse::kReadSize];
    DWORD total = 0;
    while (const DWORD n = response->ReadContent(buffer))
        total += n;
    sink = total;
}

// The same GET with WinINet alone, read in pieces of readSize bytes.
void rawGet(unsigned short port, const wchar_t* object, DWORD readSize)
{
    InternetHandle internet(InternetOpenW(L"bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    InternetHandle connection(
        InternetConnectW(internet, L"127.0.0.1", port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    InternetHandle request(
        HttpOpenRequestW(connection, L"GET", object, nullptr, nullptr, nullptr, CHttpClient::kRequestFlags, 0));
    HttpSendRequestW(request, nullptr, 0, nullptr, 0);
    static BYTE buffer[1 << 16];
    DWORD total = 0, n = 0;
    while (InternetReadFile(request, buffer, readSize, &n) && n > 0)
        total += n;
    sink = total;
}

}  // namespace

int main()
{
    const std::wstring object = L"/big/" + std::to_wstring(kGetBytes);
    const std::wstring url = serverUrl(object);
    const unsigned short port = static_cast<unsigned short>(std::atoi(std::getenv("NORPA_HTTP_TEST_PORT")));

    try {
        clientGet(url);  // warm-up: first connection, DLL loading
    } catch (const Tesmo::httpclientexceptionW& e) {
        std::printf("GET failed: %d %lu %ls\n", e.ErrorCode, e.LastError, e.errmsg());
        return 1;
    }
    double client = 1e300, raw = 1e300, raw64 = 1e300;
    for (int round = 0; round < 7; ++round) {
        client = std::min(client, bench::timed([&] { clientGet(url); }));
        raw = std::min(raw, bench::timed([&] { rawGet(port, object.c_str(), 1024); }));
        raw64 = std::min(raw64, bench::timed([&] { rawGet(port, object.c_str(), 1 << 16); }));
    }
    std::printf("GET of 10 MiB, best of 7:\n");
    std::printf("  client (ReadContent, 1024-byte reads)  %7.1f ms  %7.1f MiB/s\n", client, mibPerSecond(kGetBytes, client));
    std::printf("  raw InternetReadFile, 1024-byte reads  %7.1f ms  %7.1f MiB/s\n", raw, mibPerSecond(kGetBytes, raw));
    std::printf("  raw InternetReadFile, 64 KiB reads     %7.1f ms  %7.1f MiB/s (for reference)\n", raw64,
                mibPerSecond(kGetBytes, raw64));
    std::printf("  client / raw throughput: %.0f%% (goal: at least 90%%) %s\n", 100.0 * raw / client,
                raw / client >= 0.9 ? "met" : "MISSED");
    return 0;
}
