#include "tests/fake_web_site.h"

#include "kesh/handles.h"

#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace versiontest {

namespace {

std::string Hex(const std::string& bytes)
{
    std::string hex;
    char digits[3];
    for (unsigned char byte : bytes) {
        std::snprintf(digits, sizeof(digits), "%02x", byte);
        hex += digits;
    }
    return hex;
}

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
    return bytes;
}

}  // namespace

FakeWebSite::FakeWebSite()
{
    wchar_t value[256] = {};
    if (GetEnvironmentVariableW(L"NORPA_UPLOAD_TEST_PROXY", value, 256) > 0)
        proxy_ = value;
    _wputenv((L"http_proxy=" + proxy_).c_str());
}

std::string FakeWebSite::Get(const std::string& path)
{
    if (proxy_.empty())
        return std::string();
    kesh::win::InternetHandle internet(InternetOpenW(L"site test", INTERNET_OPEN_TYPE_PROXY, proxy_.c_str(), nullptr, 0));
    const std::wstring url = L"http://www.norpasoft.com" + std::wstring(path.begin(), path.end());
    kesh::win::InternetHandle request(
        InternetOpenUrlW(internet, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    std::string body;
    char buffer[4096];
    DWORD read = 0;
    while (request.isValid() && InternetReadFile(request, buffer, sizeof(buffer), &read) && read > 0)
        body.append(buffer, read);
    return body;
}

bool FakeWebSite::SetAnswer(const SiteAnswer& answer)
{
    char query[96];
    std::snprintf(query, sizeof(query), "?status=%u&delay=%g&pace=%g&body=", answer.status, answer.delay, answer.pace);
    return Get("/_test/site/answer" + std::string(query) + Hex(answer.body)) == "ok";
}

std::map<std::string, std::string> FakeWebSite::LastRequest()
{
    std::map<std::string, std::string> facts;
    std::istringstream lines(Get("/_test/site/last"));
    std::string name, hex;
    while (lines >> name >> hex)
        facts[name] = FromHex(hex.substr(1));
    return facts;
}

std::wstring FakeWebSite::ClosedProxy()
{
    const std::string address = Get("/_test/site/closed");
    return std::wstring(address.begin(), address.end());
}

FakeWebSite& Site()
{
    static FakeWebSite site;
    return site;
}

}  // namespace versiontest
