#include "tests/test_server_proxy.h"

#include "kesh/handles.h"

#include <wininet.h>

#include <cstdlib>

namespace servertest {

std::wstring UseTestServerProxy()
{
    wchar_t value[256] = {};
    std::wstring proxy;
    if (GetEnvironmentVariableW(L"NORPA_UPLOAD_TEST_PROXY", value, 256) > 0)
        proxy = value;
    _wputenv((L"http_proxy=" + proxy).c_str());
    _wputenv(L"no_proxy=127.0.0.1");
    return proxy;
}

std::string GetThroughProxy(const std::wstring& proxy, const std::wstring& url)
{
    if (proxy.empty())
        return std::string();
    kesh::win::InternetHandle internet(InternetOpenW(L"server test", INTERNET_OPEN_TYPE_PROXY, proxy.c_str(), nullptr, 0));
    kesh::win::InternetHandle request(
        InternetOpenUrlW(internet, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    std::string body;
    char buffer[4096];
    DWORD read = 0;
    while (request.isValid() && InternetReadFile(request, buffer, sizeof(buffer), &read) && read > 0)
        body.append(buffer, read);
    return body;
}

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
    return bytes;
}

}  // namespace servertest
