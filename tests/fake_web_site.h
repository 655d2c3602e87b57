#pragma once

// The product's web site as tests/fake_web_site.py stands in for it, beside
// the fake upload server that tests/with_upload_server.sh starts: this
// process (and every program it starts) reaches it the way the programs
// reach the real site, through WinINet's proxy setting (http_proxy), so the
// real host name stays in every address. Wine's WinINet reads the setting
// once per process, at its first InternetOpen: Site() is made before
// anything else asks the network.

#include <map>
#include <string>

namespace versiontest {

// What the site answers to the version request.
struct SiteAnswer {
    unsigned status = 200;
    std::string body;
    double delay = 0;  // seconds before the status line
    double pace = 0;   // seconds between 1 KiB pieces of the body; 0 sends it whole
    bool endless = false;  // the body over and over, never ending, as fast as it is taken
    // Instead, a wait for good: "tls" (to a port never answering its hello) or
    // a kind of tests/hostile_answers.py.
    std::string stall;
};

class FakeWebSite {
public:
    FakeWebSite();
    FakeWebSite(const FakeWebSite&) = delete;
    FakeWebSite& operator=(const FakeWebSite&) = delete;

    // False when the program was not started beside the server.
    bool available() const { return !proxy_.empty(); }
    // The proxy address (http://127.0.0.1:PORT).
    const std::wstring& proxy() const { return proxy_; }
    // Sets the answer and forgets the last request; false when the site did
    // not take it.
    bool SetAnswer(const SiteAnswer& answer);
    // The last version request as the site saw it: "host", "path",
    // "agent", "language", "state" (asked, sending, done, cut: the client
    // went away before the end, or stalled), "sent" and "total" (body
    // bytes), "hellos" (TLS hellos left unanswered since the answer was
    // set); empty before any request.
    std::map<std::string, std::string> LastRequest();
    // A proxy address on 127.0.0.1 where nothing listens.
    std::wstring ClosedProxy();

private:
    std::string Get(const std::string& path);
    std::wstring proxy_;
};

// The test program's one site, made on first use.
FakeWebSite& Site();

}  // namespace versiontest
