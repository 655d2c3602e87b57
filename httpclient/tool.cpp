#include "httpclient/tool.h"

#include "httpclient/encoder.h"
#include "httpclient/filter.h"
#include "httpclient/tool_checks.h"

#include <objbase.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace Tesmo {

InternetHandle CHttpToolA::OpenRequest(HINTERNET connection, const char* verb, const char* objectName,
                                       const char* referrer, DWORD flags)
{
    if (!connection)
        ThrowMessageA("CHttpToolA::OpenRequest: hConnection can not be NULL.");
    if (!objectName)
        ThrowMessageA("CHttpToolA::OpenRequest: szObjectName can not be NULL.");
    if (!*objectName)
        ThrowMessageA("CHttpToolA::OpenRequest: szObjectName can not be an empty string.");
    const char* acceptTypes[] = {"*/*", nullptr};
    InternetHandle request(HttpOpenRequestA(connection, verb, objectName, "HTTP/1.1", referrer, acceptTypes, flags, 0));
    if (!request.isValid())
        ThrowWin32ErrorA(HttpErrorOpenRequest, GetLastError());
    return request;
}

void CHttpToolA::AddHeader(HINTERNET request, const char* name, const char* value)
{
    if (!request)
        ThrowMessageA("CHttpToolA::AddHeader: hRequest can not be NULL.");
    if (!name)
        ThrowMessageA("CHttpToolA::AddHeader: szName can not be NULL.");
    if (!value)
        value = "";
    const size_t nameLength = std::strlen(name);
    const size_t valueLength = std::strlen(value);
    const uint32_t size = FilterA([&] { return SafeAdd(SafeAdd(SafeCount(nameLength), SafeCount(valueLength)), 5); });
    const auto line = FilterA([&] { return std::make_unique<char[]>(size); });
    char* out = line.get();
    std::memcpy(out, name, nameLength);
    out += nameLength;
    std::memcpy(out, ": ", 2);
    out += 2;
    std::memcpy(out, value, valueLength);
    out += valueLength;
    std::memcpy(out, "\r\n", 3);
    if (!HttpAddRequestHeadersA(request, line.get(), size - 1, HTTP_ADDREQ_FLAG_ADD))
        ThrowWin32ErrorA(HttpErrorAddRequestHeaders, GetLastError());
}

AnsiText CHttpToolW::Unicode2Ansi(const wchar_t* text, UINT codePage)
{
    CheckAnsiCodePage(codePage, "CHttpToolW::Unicode2Ansi");
    if (!text)
        return nullptr;
    return FilterW([&] {
        AnsiText converted = std::make_unique<char[]>(SafeAdd(CHttpEncoderW::AnsiEncodeLen(text, codePage), 1));
        CHttpEncoderW::AnsiEncode(text, converted.get(), codePage);
        return converted;
    });
}

WideText CHttpToolW::WidenAnsi(const char* text)
{
    if (!text)
        return nullptr;
    return FilterW([&] {
        const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        if (size <= 0)
            ThrowWin32ErrorW(nullptr, HttpErrorMultiByteToWideChar, GetLastError());
        WideText wide = std::make_unique<wchar_t[]>(size);
        if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide.get(), size) <= 0)
            ThrowWin32ErrorW(nullptr, HttpErrorMultiByteToWideChar, GetLastError());
        return wide;
    });
}

InternetHandle CHttpToolW::OpenConnection(HINTERNET internet, const wchar_t* serverAddr, INTERNET_PORT port)
{
    CheckNotNull(internet, "CHttpToolW::OpenConnection: hInternet can not be NULL.");
    CheckText(serverAddr, "CHttpToolW::OpenConnection: szServerAddr");
    InternetHandle connection(
        InternetConnectW(internet, serverAddr, port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection.isValid())
        ThrowWin32ErrorW(nullptr, HttpErrorInternetConnect, GetLastError());
    return connection;
}

InternetHandle CHttpToolW::OpenRequest(HINTERNET connection, const wchar_t* objectName, const wchar_t* verb,
                                       DWORD flags, UINT codePage)
{
    CheckNotNull(connection, "CHttpToolW::OpenRequest: hConnection can not be NULL.");
    CheckText(objectName, "CHttpToolW::OpenRequest: szObjectName");
    CheckAnsiCodePage(codePage, "CHttpToolW::OpenRequest");
    const AnsiText ansiVerb = Unicode2Ansi(verb, codePage);
    const AnsiText ansiObject = Unicode2Ansi(objectName, codePage);
    return PassAsW([&] { return CHttpToolA::OpenRequest(connection, ansiVerb.get(), ansiObject.get(), nullptr, flags); });
}

void CHttpToolW::AddHeader(HINTERNET request, const wchar_t* name, const wchar_t* value, UINT codePage)
{
    CheckNotNull(request, "CHttpToolW::AddHeader: hRequest can not be NULL.");
    CheckNotNull(name, "CHttpToolW::AddHeader: szName can not be NULL.");
    CheckAnsiCodePage(codePage, "CHttpToolW::AddHeader");
    const AnsiText ansiName = Unicode2Ansi(name, codePage);
    const AnsiText ansiValue = Unicode2Ansi(value, codePage);
    PassAsW([&] { CHttpToolA::AddHeader(request, ansiName.get(), ansiValue.get()); });
}

void CHttpToolW::SendRequest(HINTERNET request, UINT codePage)
{
    CheckNotNull(request, "CHttpToolW::SendRequest: hRequest can not be NULL.");
    CheckAnsiCodePage(codePage, "CHttpToolW::SendRequest");
    if (!HttpSendRequestW(request, nullptr, 0, nullptr, 0))
        ThrowWin32ErrorW(nullptr, HttpErrorSendRequest, GetLastError());
}

namespace {

void SetTimeLimit(HINTERNET handle, DWORD option, DWORD milliseconds)
{
    if (!InternetSetOptionW(handle, option, &milliseconds, sizeof milliseconds))
        ThrowWin32ErrorW(nullptr, HttpErrorSetOption, GetLastError());
}

}  // namespace

void CHttpToolW::SetTimeLimits(HINTERNET handle, DWORD milliseconds)
{
    CheckNotNull(handle, "CHttpToolW::SetTimeLimits: hInternet can not be NULL.");
    for (const DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        SetTimeLimit(handle, option, milliseconds);
}

void CHttpToolW::SetReceiveTimeLimit(HINTERNET handle, DWORD milliseconds)
{
    CheckNotNull(handle, "CHttpToolW::SetReceiveTimeLimit: hInternet can not be NULL.");
    SetTimeLimit(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, milliseconds);
}

std::wstring CHttpToolW::RedirectAddress(HINTERNET request)
{
    CheckNotNull(request, "CHttpToolW::RedirectAddress: hRequest can not be NULL.");
    // Buffers of the longest address WinINet takes; anything longer is no
    // address to go to.
    const DWORD kUnits = INTERNET_MAX_URL_LENGTH + 1;
    std::wstring location(kUnits, L'\0');
    DWORD size = kUnits * sizeof(wchar_t);
    if (!HttpQueryInfoW(request, HTTP_QUERY_LOCATION, &location[0], &size, nullptr)) {
        const DWORD error = GetLastError();
        if (error == ERROR_HTTP_HEADER_NOT_FOUND)
            return std::wstring();
        ThrowWin32ErrorW(nullptr, HttpErrorSendRequest,
                         error == ERROR_INSUFFICIENT_BUFFER ? ERROR_HTTP_REDIRECT_FAILED : error);
    }
    std::wstring base(kUnits, L'\0');
    size = kUnits * sizeof(wchar_t);
    if (!InternetQueryOptionW(request, INTERNET_OPTION_URL, &base[0], &size))
        ThrowWin32ErrorW(nullptr, HttpErrorSendRequest, GetLastError());
    std::wstring address(kUnits, L'\0');
    DWORD units = kUnits;
    if (!InternetCombineUrlW(base.c_str(), location.c_str(), &address[0], &units, 0))
        ThrowWin32ErrorW(nullptr, HttpErrorSendRequest, ERROR_HTTP_REDIRECT_FAILED);
    address.resize(std::wcslen(address.c_str()));
    return address;
}

// Under Wine this option empties the pool of idle connections; on Windows it
// asks WinINet to read its settings again. Neither fails in a way worth a
// report.
void CHttpToolW::DropIdleConnections() { InternetSetOptionW(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0); }

WideText CHttpToolW::CreateBoundary()
{
    GUID guid;
    if (FAILED(CoCreateGuid(&guid)))
        return nullptr;
    const size_t kSize = 44;  // 43 characters and the NUL
    WideText boundary(new (std::nothrow) wchar_t[kSize]);
    if (!boundary)
        return nullptr;
    swprintf(boundary.get(), kSize, L"----ZOVEK-%08lx%04x%04x%02x%02x%02x%02x%02x%02x%02x%02x-",
             static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
             guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return boundary;
}

}  // namespace Tesmo
