#include "tests/fake_web_site.h"

#include "tests/test_server_proxy.h"

#include <cstdio>
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

}  // namespace

FakeWebSite::FakeWebSite() : proxy_(servertest::UseTestServerProxy()) {}

std::string FakeWebSite::Get(const std::string& path)
{
    return servertest::GetThroughProxy(proxy_, L"http://www.norpasoft.com" + std::wstring(path.begin(), path.end()));
}

bool FakeWebSite::SetAnswer(const SiteAnswer& answer)
{
    char query[112];
    std::snprintf(query, sizeof(query), "?status=%u&delay=%g&pace=%g&endless=%d&stall=", answer.status,
                  answer.delay, answer.pace, answer.endless ? 1 : 0);
    return Get("/_test/site/answer" + std::string(query) + answer.stall + "&body=" + Hex(answer.body)) == "ok";
}

std::map<std::string, std::string> FakeWebSite::LastRequest()
{
    std::map<std::string, std::string> facts;
    std::istringstream lines(Get("/_test/site/last"));
    std::string name, hex;
    while (lines >> name >> hex)
        facts[name] = servertest::FromHex(hex.substr(1));
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
