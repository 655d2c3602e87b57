#pragma once

// The HTTP client's one door to WinINet, files and COM. Every call checks its
// arguments, and every failure becomes an httpclientexceptionW with the Win32
// error of the failed call (the 8-bit layer's exceptions are turned into
// wide ones before they leave CHttpToolW). Handles come back in guards;
// converted texts come back as owned buffers (null for a null text).
//
// The operations live in three sources by what pulls them in: tool.cpp (texts,
// connection, request, GET), tool_post.cpp (the body of a POST) and
// tool_file.cpp (file parameters). A program that never posts links neither
// of the last two.

#include "kesh/handles.h"

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <memory>
#include <string>

namespace Tesmo {

using AnsiText = std::unique_ptr<char[]>;
using WideText = std::unique_ptr<wchar_t[]>;
using kesh::win::InternetHandle;
using kesh::win::KernelHandle;

// The two WinINet calls made through their 8-bit entry points. Throws
// httpclientexceptionA.
class CHttpToolA {
public:
    // HttpOpenRequestA with "HTTP/1.1" and the accept type "*/*"; 404.
    static InternetHandle OpenRequest(HINTERNET connection, const char* verb, const char* objectName,
                                      const char* referrer, DWORD flags);
    // Adds the line "name: value\r\n" (an empty value for null); 405.
    static void AddHeader(HINTERNET request, const char* name, const char* value);
};

class CHttpToolW {
public:
    // codePage's form of text; null for null; 600 when the system refuses.
    static AnsiText Unicode2Ansi(const wchar_t* text, UINT codePage);
    // The ANSI code page's text widened; null for null; 601.
    // Kept because the tool's interface lists it; nothing calls it.
    static WideText WidenAnsi(const char* text);

    // InternetConnectW for HTTP; 403.
    static InternetHandle OpenConnection(HINTERNET internet, const wchar_t* serverAddr, INTERNET_PORT port);
    // Object name and verb go to WinINet in codePage; 404.
    static InternetHandle OpenRequest(HINTERNET connection, const wchar_t* objectName, const wchar_t* verb,
                                      DWORD flags, UINT codePage);
    // Lets go of the connections WinINet keeps idle for reuse, the process's
    // whole pool, so that the next request opens its own. Never throws.
    static void DropIdleConnections();
    // Name and value go to WinINet in codePage; 405.
    static void AddHeader(HINTERNET request, const wchar_t* name, const wchar_t* value, UINT codePage);
    // HttpSendRequestW without extra headers or body; 406.
    static void SendRequest(HINTERNET request, UINT codePage);
    // The longest the system may wait on handle's connect, send and receive
    // calls before it fails them (and their children's, for an internet
    // handle); 410.
    static void SetTimeLimits(HINTERNET handle, DWORD milliseconds);
    // The receive call's limit alone; 410.
    static void SetReceiveTimeLimit(HINTERNET handle, DWORD milliseconds);
    // Where a redirect of request points: its Location header made absolute
    // against the request's own address; empty without a Location. 406 with
    // ERROR_HTTP_REDIRECT_FAILED for one longer than an address may be.
    static std::wstring RedirectAddress(HINTERNET request);

    // Starts a body of exactly total bytes (its Content-Length); 407.
    static void SendRequestEx(HINTERNET request, DWORD total);
    // Writes all count bytes, however many calls it takes; 408.
    static void InternetWriteFile(HINTERNET request, const void* bytes, DWORD count);
    // 409.
    static void EndRequest(HINTERNET request);

    // Opens a file for sequential reading, sharing reading and deletion; an
    // invalid guard (its handle INVALID_HANDLE_VALUE, the reason in
    // GetLastError) when it cannot.
    static KernelHandle OpenFile(const wchar_t* filePath);
    // The file's size: 605 (path in the message) when it cannot be read, 112
    // for a file of 4 GiB or more, whose size a 32-bit count cannot hold.
    static uint32_t GetFileSize(HANDLE file, const wchar_t* filePath);
    // The MIME type the system finds in the file's first 256 bytes (the file
    // is left at its start), "application/octet-stream" when it finds none
    // or for INVALID_HANDLE_VALUE.
    static AnsiText GetMimeType(HANDLE file, UINT codePage);
    // "----ZOVEK-", 32 lower-case hex digits of a new GUID and "-"; null when
    // no GUID can be made. Never throws.
    static WideText CreateBoundary();
};

}  // namespace Tesmo
