// winsock2.h before everything that brings windows.h in.
#include <winsock2.h>

#include "tests/httpclient_test_support.h"

#include <shellapi.h>

#include <cstdlib>

namespace httptest {

std::wstring ServerUrl(const std::wstring& path)
{
    const char* port = std::getenv("NORPA_HTTP_TEST_PORT");
    if (!port || !*port) {
        ADD_FAILURE() << "NORPA_HTTP_TEST_PORT is not set: run the program through tests/servers/http_test_server.py";
        return L"http://127.0.0.1:9" + path;
    }
    return L"http://127.0.0.1:" + std::wstring(port, port + std::strlen(port)) + path;
}

unsigned short RefusedPort()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    closesocket(s);
    WSACleanup();
    return ntohs(address.sin_port);
}

std::string ReadBody(Tesmo::CHttpResponse& response)
{
    std::string body;
    BYTE buffer[Tesmo::CHttpResponse::kReadSize];
    while (const DWORD n = response.ReadContent(buffer))
        body.append(reinterpret_cast<const char*>(buffer), n);
    return body;
}

namespace {
bool sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && _strnicmp(a.c_str(), b.c_str(), a.size()) == 0;
}
}  // namespace

std::string RawRequest::header(const std::string& name) const
{
    for (const auto& h : headers) {
        if (sameName(h.first, name))
            return h.second;
    }
    return "";
}

std::vector<std::string> RawRequest::namesAmong(const std::vector<std::string>& wanted) const
{
    std::vector<std::string> names;
    for (const auto& h : headers) {
        for (const auto& w : wanted) {
            if (sameName(h.first, w))
                names.push_back(h.first);
        }
    }
    return names;
}

RawRequest ParseRequest(const std::string& raw)
{
    RawRequest request;
    const size_t headEnd = raw.find("\r\n\r\n");
    if (headEnd == std::string::npos) {
        ADD_FAILURE() << "not a request: " << raw.substr(0, 200);
        return request;
    }
    request.body = raw.substr(headEnd + 4);
    size_t at = raw.find("\r\n");
    request.requestLine = raw.substr(0, at);
    while (at < headEnd) {
        const size_t next = raw.find("\r\n", at + 2);
        const std::string line = raw.substr(at + 2, next - at - 2);
        const size_t colon = line.find(':');
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        request.headers.emplace_back(line.substr(0, colon), value);
        at = next;
    }
    return request;
}

RawRequest LastRecorded(unsigned long* bodyReceived)
{
    Tesmo::CHttpClient client;
    auto response = client.RequestGet(ServerUrl(L"/recorded").c_str(), Tesmo::CHttpClient::kRequestFlags);
    const std::string answer = ReadBody(*response);
    const size_t lineEnd = answer.find('\n');
    if (bodyReceived)
        *bodyReceived = std::strtoul(answer.c_str(), nullptr, 10);
    return ParseRequest(answer.substr(lineEnd + 1));
}

TempFolder::TempFolder()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    wchar_t name[MAX_PATH];
    GetTempFileNameW(base, L"htc", 0, name);
    DeleteFileW(name);
    CreateDirectoryW(name, nullptr);
    path_ = name;
}

TempFolder::~TempFolder()
{
    std::wstring from = path_;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

std::wstring TempFolder::file(const std::wstring& name, const std::string& bytes) const
{
    const std::wstring filePath = path_ + L"\\" + name;
    kesh::win::KernelHandle file(
        CreateFileW(filePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file.isValid() || !WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        ADD_FAILURE() << "cannot write " << Narrow(filePath);
    return filePath;
}

std::wstring TempFolder::sparseFile(const std::wstring& name, long long size) const
{
    const std::wstring filePath = path_ + L"\\" + name;
    kesh::win::KernelHandle file(
        CreateFileW(filePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = size;
    if (!file.isValid() || !SetFilePointerEx(file, end, nullptr, FILE_BEGIN) || !SetEndOfFile(file))
        ADD_FAILURE() << "cannot make " << Narrow(filePath);
    return filePath;
}

std::string Narrow(const std::wstring& text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

}  // namespace httptest
