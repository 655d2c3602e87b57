#pragma once

// Where a cancel from another thread reaches one request: the request's
// WinINet handle and the mark that it was cancelled. The client makes one
// per request, which lives with the request: in the client while a GET is
// sent or a POST's body written, then in the response while its answer is
// read.
//
// Cancel marks the request and closes its handle. A WinINet call blocked on
// it fails at once where the system interrupts it (Windows); where it does
// not (Wine) the call ends when the server next sends or takes something,
// at the latest when the request's time limit runs out. Either way the
// request's next step sees the mark and fails as cancelled before it
// starts. The handle is taken by one atomic exchange, so the cancel and the
// request's owner never both close it.

#include "httpclient/exceptions.h"
#include "kesh/handles.h"

#include <windows.h>
#include <wininet.h>

#include <atomic>

namespace Tesmo {

class CancelPoint {
public:
    CancelPoint() = default;
    CancelPoint(const CancelPoint&) = delete;
    CancelPoint& operator=(const CancelPoint&) = delete;

    // Takes the request over; one a cancel came before is closed at once.
    void Hold(kesh::win::InternetHandle request)
    {
        request_.Attach(request.Detach());
        // Cancel marks before it takes the handle, and the mark is read here
        // after the handle is in place: one of the two closes it.
        if (cancelled_)
            request_.reset();
    }

    // From any thread.
    void Cancel()
    {
        cancelled_ = true;
        request_.reset();
    }
    bool cancelled() const { return cancelled_; }

    // The request for its next step; a cancelled request throws code (the
    // step's own) with ERROR_INTERNET_OPERATION_CANCELLED instead.
    HINTERNET Live(HttpClientErrorCode code) const
    {
        const HINTERNET request = request_.get();
        if (cancelled_)
            ThrowWin32ErrorW(nullptr, code, ERROR_INTERNET_OPERATION_CANCELLED);
        return request;
    }

    // Runs a step on the request (step() throws code when it fails). A step
    // that fails after a cancel fails as cancelled, whatever the system made
    // of its closed handle; one that went through all the same still counts
    // as cancelled.
    template <class Step>
    void Run(HttpClientErrorCode code, Step&& step)
    {
        try {
            step();
        } catch (httpclientexceptionW& e) {
            if (cancelled_)
                e.LastError = ERROR_INTERNET_OPERATION_CANCELLED;
            throw;
        }
        Live(code);
    }

    // The owner's end of the request (nothing when a cancel closed it).
    void Close() { request_.reset(); }

private:
    std::atomic<bool> cancelled_{false};
    kesh::win::AtomicInternetHandle request_;
};

}  // namespace Tesmo
