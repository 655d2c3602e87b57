#pragma once

// What the HTTP client's tests share: the local test server's address, the
// request it recorded, and catching the client's exception.

#include "httpclient/client.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace httptest {

// "http://127.0.0.1:PORT" + path on the server that
// tests/servers/http_test_server.py runs around the test program.
std::wstring ServerUrl(const std::wstring& path);

// A port on 127.0.0.1 that nobody listens on.
unsigned short RefusedPort();

// The whole content of a response.
std::string ReadBody(Tesmo::CHttpResponse& response);

// A request as the server received it.
struct RawRequest {
    std::string requestLine;
    std::vector<std::pair<std::string, std::string>> headers;  // in wire order
    std::string body;

    // The value of the first header called name (any case); "" when none.
    std::string header(const std::string& name) const;
    // The header names among wanted, in wire order, repeats included.
    std::vector<std::string> namesAmong(const std::vector<std::string>& wanted) const;
};
RawRequest ParseRequest(const std::string& raw);

// The request the server received just before this call (its body cut at
// 1 MiB), and the number of body bytes that request delivered.
RawRequest LastRecorded(unsigned long* bodyReceived = nullptr);

// The exception body throws; a test failure when it throws none.
template <class Body>
Tesmo::httpclientexceptionW Thrown(Body&& body)
{
    try {
        body();
    } catch (const Tesmo::httpclientexceptionW& e) {
        return e;
    }
    ADD_FAILURE() << "no httpclientexceptionW was thrown";
    return Tesmo::httpclientexceptionW(L"(none)", -1, 0);
}

// A folder of the test's own under the temporary folder, removed with what it
// holds when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    // Writes a file of the given bytes into the folder; returns its path.
    std::wstring file(const std::wstring& name, const std::string& bytes) const;
    // A sparse file of size bytes (no disk space taken); returns its path.
    std::wstring sparseFile(const std::wstring& name, long long size) const;

private:
    std::wstring path_;
};

std::string Narrow(const std::wstring& text);  // UTF-8

}  // namespace httptest
