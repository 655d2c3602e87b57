#pragma once

// The fake upload server (tests/fake_upload_server.py) that
// tests/with_upload_server.sh starts beside the test program, reached the
// way the programs reach the real one: WinINet sends every request to it as
// its proxy (http_proxy), so the real host name stays in every address.

#include "httpclient/client.h"
#include "kesh/string.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace uploadtest {

// One part of the last POST's multipart body, in body order.
struct PostPart {
    std::string name;
    bool isFile = false;
    std::string fileName;     // file parts
    std::string contentType;  // file parts
    size_t length = 0;
    uint32_t crc32 = 0;
    std::string value;        // text parts
};

struct PostRecord {
    bool present = false;    // a POST arrived since the scenario was set
    bool malformed = false;  // its body broke the multipart format
    size_t received = 0;     // body bytes that came, of the declared length
    size_t declared = 0;
    std::string agent;
    std::string language;
    std::vector<PostPart> parts;
    unsigned hellos = 0;  // TLS hellos left unanswered since the scenario was set
};

// While it lives, this process (and every program it starts) uses the
// server as WinINet's proxy, except for addresses on 127.0.0.1, which are
// reached directly (no_proxy): an entry there is a real connection.
class FakeUploadServer {
public:
    FakeUploadServer();
    ~FakeUploadServer();
    FakeUploadServer(const FakeUploadServer&) = delete;
    FakeUploadServer& operator=(const FakeUploadServer&) = delete;

    // False when the program was not started beside a server.
    bool available() const { return !proxy_.empty(); }
    // Makes name the scenario of the following requests and forgets the
    // last POST. False when the server did not answer.
    bool SetScenario(const char* name);
    // Lets the configuration of scenario "held_config" go, which waits until
    // then (at most 20 s). False when the server did not answer.
    bool Release();
    PostRecord LastPost();

private:
    std::string Get(const char* path);
    std::wstring proxy_;
};

// While it lives, the HTTP clients made meanwhile take a time limit of
// milliseconds instead of the default.
struct ShortTimeLimit {
    explicit ShortTimeLimit(DWORD milliseconds) { Tesmo::CHttpClient::SetDefaultTimeLimit(milliseconds); }
    ~ShortTimeLimit() { Tesmo::CHttpClient::SetDefaultTimeLimit(Tesmo::CHttpClient::kDefaultTimeLimit); }
};

// Dispatches what comes (sent messages too) until done() holds or limit
// milliseconds have passed; false on the time limit.
bool PumpUntil(const std::function<bool()>& done, DWORD limit = 30000);

// The names of the files (not folders) in folder.
std::set<std::wstring> FilesIn(const std::wstring& folder);

// CRC-32 as zlib computes it.
uint32_t Crc32(const std::string& bytes);

// A file of size bytes: a PNG signature, then bytes of a fixed
// pseudo-random sequence (no content type sniffing tells it from a PNG).
std::string PngLikeBytes(size_t size);

}  // namespace uploadtest
