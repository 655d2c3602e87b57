#pragma once

// What a finished request hands its caller: the request, from which the
// status and the content are read. Deleting the response ends the request:
// its handles close, on a thread of their own when the answer was left
// unread (cancel_point.h).
//
// The request stays within reach of its client's Cancel (cancel_point.h):
// a cancel while the answer is read makes the blocked or next call fail with
// ERROR_INTERNET_OPERATION_CANCELLED.

#include "httpclient/cancel_point.h"
#include "httpclient/client_map.h"
#include "httpclient/tool.h"

#include <algorithm>
#include <memory>
#include <string>

namespace Tesmo {

template <class Tool>
class CHttpResponseT {
public:
    // A body longer than this ends in an error instead of filling memory.
    static constexpr uint64_t kDefaultContentLimit = 64ull << 20;
    // ReadContent's buffer size.
    static constexpr DWORD kReadSize = 1024;

    explicit CHttpResponseT(std::shared_ptr<CancelPoint> request) : m_request(std::move(request)) {}
    virtual ~CHttpResponseT() { m_request->Close(); }
    CHttpResponseT(const CHttpResponseT&) = delete;
    CHttpResponseT& operator=(const CHttpResponseT&) = delete;

    // The HTTP status code, asked once: 400 when it cannot be read (the next
    // call asks again). A server that closed without answering has no status:
    // that is 400 with ERROR_HTTP_INVALID_SERVER_RESPONSE, not a status of 0
    // (the system may report it as a successful query of 0; so does Wine for
    // a server silent past the time limit).
    DWORD GetStatus()
    {
        m_request->Run(HttpErrorQueryInfo, [&](HINTERNET request) {
            if (!request)
                ThrowMessageW(L"CHttpResponseT::GetStatus: m_hRequest can not be NULL.");
            if (m_nStatus != 0)
                return;
            DWORD status = 0;
            DWORD size = sizeof status;
            if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
                ThrowWin32ErrorW(nullptr, HttpErrorQueryInfo, GetLastError());
            if (status == 0)
                ThrowWin32ErrorW(nullptr, HttpErrorQueryInfo, ERROR_HTTP_INVALID_SERVER_RESPONSE);
            m_nStatus = status;
        });
        return m_nStatus;
    }

    // Reads up to kReadSize bytes of the content into buff (which holds
    // kReadSize bytes); 0 at its end. 401 when the read fails, and when the
    // content runs past the content limit: a body that never ends must not
    // fill the caller's memory. That failure is the answer's, not the
    // system's (LastError 0): its text says the content is too long.
    //
    // Only what has arrived is read: a read asked for more than that waits
    // (under Wine) until its whole buffer is filled, which a server sending
    // a byte now and then drags out for hours, out of the reach of the time
    // limit and of a cancel. Asking what has arrived waits for the next
    // bytes, the time limit or the cancel, whichever comes first.
    DWORD ReadContent(BYTE* buff)
    {
        DWORD read = 0;
        m_request->Run(HttpErrorInternetReadFile, [&](HINTERNET request) {
            if (!request)
                ThrowMessageW(L"CHttpResponseT::ReadContent: m_hRequest can not be NULL.");
            if (!buff)
                ThrowMessageW(L"CHttpResponseT::ReadContent: pbyBuff can not be NULL.");
            DWORD available = 0;
            if (!InternetQueryDataAvailable(request, &available, 0, 0))
                ThrowWin32ErrorW(nullptr, HttpErrorInternetReadFile, GetLastError());
            if (available > 0 && !InternetReadFile(request, buff, std::min(available, kReadSize), &read))
                ThrowWin32ErrorW(nullptr, HttpErrorInternetReadFile, GetLastError());
        });
        if (read == 0)
            m_request->Finished();
        m_nContentRead += read;
        if (m_nContentRead > m_nContentLimit) {
            const std::wstring message = L"CHttpResponseT::ReadContent: The content is longer than " +
                                         std::to_wstring(m_nContentLimit) + L" bytes.";
            throw httpclientexceptionW(message.c_str(), HttpErrorInternetReadFile, 0);
        }
        return read;
    }

    // Content bytes the caller accepts; kDefaultContentLimit at first.
    void SetContentLimit(uint64_t bytes) { m_nContentLimit = bytes; }

    // Where the answer redirects to (Tool::RedirectAddress); empty without
    // a Location.
    std::wstring RedirectAddress() const
    {
        std::wstring address;
        m_request->Run(HttpErrorSendRequest, [&](HINTERNET request) {
            if (request)
                address = Tool::RedirectAddress(request);
        });
        return address;
    }

    // Response headers, kept because the interface lists them; nothing fills or reads them.
    CHttpClientMapT<Tool> m_Headers;

private:
    const std::shared_ptr<CancelPoint> m_request;
    DWORD m_nStatus = 0;
    uint64_t m_nContentRead = 0;
    uint64_t m_nContentLimit = kDefaultContentLimit;
};

}  // namespace Tesmo
