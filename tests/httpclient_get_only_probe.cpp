// A program that uses only the GET side of the HTTP client, as the toolbar's
// version check does. httpclient_tests reads its import table: it must not
// carry the POST's WinINet and file calls.

#include "httpclient/client.h"

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    try {
        Tesmo::CHttpClient client;
        client.SetUseUtf8();
        client.SetAgentName(L"Norpa");
        client.AddHeader(L"Accept-Language", L"zh-CN");
        auto response = client.RequestGet(argv[1], Tesmo::CHttpClient::kRequestFlags);
        BYTE buffer[Tesmo::CHttpResponse::kReadSize];
        DWORD total = 0;
        while (const DWORD n = response->ReadContent(buffer))
            total += n;
        std::printf("%lu %lu\n", response->GetStatus(), total);
        return 0;
    } catch (const Tesmo::httpclientexceptionW& e) {
        std::printf("%d %lu %ls\n", e.ErrorCode, e.LastError, e.errmsg());
        return 1;
    }
}
