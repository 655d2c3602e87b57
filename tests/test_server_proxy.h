#pragma once

// How a test program reaches the stand-in for the product's servers that
// tests/with_upload_server.sh starts beside it (tests/fake_upload_server.py,
// which serves the web site's routes too): as WinINet's proxy, so that the
// real host names stay in every address.

#include <string>

namespace servertest {

// Makes the stand-in this process's WinINet proxy (http_proxy, inherited by
// every program it starts), except for addresses on 127.0.0.1, which are
// reached directly (no_proxy); returns its address, http://127.0.0.1:PORT,
// or "" when the program was not started beside it. Wine's WinINet reads
// both variables once, at the process's first InternetOpen, and keeps them:
// call it before anything asks the network.
std::wstring UseTestServerProxy();

// The body of a GET of url through proxy; "" when it fails.
std::string GetThroughProxy(const std::wstring& proxy, const std::wstring& url);

// The bytes of a text of hexadecimal digit pairs.
std::string FromHex(const std::string& hex);

}  // namespace servertest
