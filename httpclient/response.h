#pragma once

// What a finished request hands its caller: the request's WinINet handles,
// from which the status and the content are read. Deleting the response ends
// the request's connection (request, connection, then internet handle).

#include "httpclient/client_map.h"
#include "httpclient/tool.h"

#include <atomic>

namespace Tesmo {

template <class Tool>
class CHttpResponseT {
public:
    // A body longer than this ends in an error instead of filling memory.
    static constexpr uint64_t kDefaultContentLimit = 64ull << 20;
    // ReadContent's buffer size.
    static constexpr DWORD kReadSize = 1024;

    CHttpResponseT(InternetHandle internet, InternetHandle connection, InternetHandle request)
        : m_hInternet(std::move(internet)), m_hConnection(std::move(connection))
    {
        m_hRequest.Attach(request.Detach());
    }
    virtual ~CHttpResponseT()
    {
        m_hRequest.reset();
        m_hConnection.reset();
        m_hInternet.reset();
        m_Headers.Clear();
    }
    CHttpResponseT(const CHttpResponseT&) = delete;
    CHttpResponseT& operator=(const CHttpResponseT&) = delete;

    // The HTTP status code, asked once: 400 when it cannot be read (the next
    // call asks again). A server that closed without answering has no status:
    // that is 400 with ERROR_HTTP_INVALID_SERVER_RESPONSE, not a status of 0
    // (the system may report it as a successful query of 0).
    DWORD GetStatus()
    {
        const HINTERNET request = liveRequest(HttpErrorQueryInfo);
        if (!request)
            ThrowMessageW(L"CHttpResponseT::GetStatus: m_hRequest can not be NULL.");
        if (m_nStatus != 0)
            return m_nStatus;
        DWORD status = 0;
        DWORD size = sizeof status;
        if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
            ThrowWin32ErrorW(nullptr, HttpErrorQueryInfo, GetLastError());
        if (status == 0)
            ThrowWin32ErrorW(nullptr, HttpErrorQueryInfo, ERROR_HTTP_INVALID_SERVER_RESPONSE);
        m_nStatus = status;
        return m_nStatus;
    }

    // Reads up to kReadSize bytes of the content into buff (which holds
    // kReadSize bytes); 0 at its end. 401 when the read fails, and when the
    // content runs past the content limit (ERROR_NOT_ENOUGH_MEMORY): a body
    // that never ends must not fill the caller's memory.
    DWORD ReadContent(BYTE* buff)
    {
        const HINTERNET request = liveRequest(HttpErrorInternetReadFile);
        if (!request)
            ThrowMessageW(L"CHttpResponseT::ReadContent: m_hRequest can not be NULL.");
        if (!buff)
            ThrowMessageW(L"CHttpResponseT::ReadContent: pbyBuff can not be NULL.");
        DWORD read = 0;
        if (!InternetReadFile(request, buff, kReadSize, &read))
            ThrowWin32ErrorW(nullptr, HttpErrorInternetReadFile, GetLastError());
        m_nContentRead += read;
        if (m_nContentRead > m_nContentLimit)
            ThrowWin32ErrorW(nullptr, HttpErrorInternetReadFile, ERROR_NOT_ENOUGH_MEMORY);
        return read;
    }

    // Content bytes the caller accepts; kDefaultContentLimit at first.
    void SetContentLimit(uint64_t bytes) { m_nContentLimit = bytes; }

    // Cancel, from any thread: closes the request, so that a blocked or
    // later read fails and the connection ends; GetStatus and ReadContent
    // then throw their codes with ERROR_INTERNET_OPERATION_CANCELLED. True
    // when this call closed it.
    bool CloseRequestHandle()
    {
        m_bCancelled = true;
        return m_hRequest.reset();
    }

    // Response headers, kept because the interface lists them; nothing fills or reads them.
    CHttpClientMapT<Tool> m_Headers;

private:
    HINTERNET liveRequest(HttpClientErrorCode code) const
    {
        // The handle first, then the flag: CloseRequestHandle sets the flag
        // before it takes the handle, so a handle a cancel took is always
        // reported as the cancel, never as a missing argument.
        const HINTERNET request = m_hRequest.get();
        if (m_bCancelled)
            ThrowWin32ErrorW(nullptr, code, ERROR_INTERNET_OPERATION_CANCELLED);
        return request;
    }

    InternetHandle m_hInternet;
    InternetHandle m_hConnection;
    // Another thread may close it (CloseRequestHandle).
    kesh::win::AtomicInternetHandle m_hRequest;
    std::atomic<bool> m_bCancelled{false};
    DWORD m_nStatus = 0;
    uint64_t m_nContentRead = 0;
    uint64_t m_nContentLimit = kDefaultContentLimit;
};

}  // namespace Tesmo
