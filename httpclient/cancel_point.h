#pragma once

// Where a cancel from another thread reaches one request, and how the
// request's handles end. The client makes one per request. It holds the
// request's WinINet handles (the internet session, the connection and the
// request itself, closed in the reverse order) and lives with the request:
// in the client while a GET is sent or a POST's body written, then in the
// response while its answer is read.
//
// Every call on the request goes through Run, which starts no call once the
// request is cancelled. Cancel marks the request and closes its handles on a
// thread of its own. Windows interrupts a call blocked on them at once; Wine
// does not, and the call ends when the server next sends or takes something,
// or when the request's time limit runs out, which Wine does not apply to a
// TLS hello nor to headers without end: such a call may never end, and its
// worker is left to the process's end (common/runner_protocol.h). Either way
// a call fails as cancelled and no further call starts.
//
// Closing a request whose answer has not been read to its end can take as
// long as the server goes on sending: Wine reads the rest of the answer
// first, on whichever thread lets go of the request last. So such a close
// never runs on the thread that asks for it (the window's, or a worker that
// must report and end) but on a thread nobody waits for, which the process's
// exit simply ends. And a cancel lets go of the handles while the worker is
// between two calls, so that the worker's call is not the last to hold the
// request; only a call that outlasts kCallGrace (a server that keeps it
// waiting) has its handles closed under it, for Windows to interrupt it.

#include "httpclient/exceptions.h"
#include "kesh/handles.h"

#include <windows.h>
#include <wininet.h>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace Tesmo {

class CancelPoint : public std::enable_shared_from_this<CancelPoint> {
public:
    // How long a cancel waits for the worker's call under way to end before
    // it closes the handles under that call.
    static constexpr DWORD kCallGrace = 250;

    CancelPoint() = default;
    ~CancelPoint() { Close(); }
    CancelPoint(const CancelPoint&) = delete;
    CancelPoint& operator=(const CancelPoint&) = delete;

    // Takes the request and the handles above it over; a request a cancel
    // came before is closed at once (nothing of it has gone out).
    void Hold(kesh::win::InternetHandle internet, kesh::win::InternetHandle connection,
              kesh::win::InternetHandle request);

    // From any thread, never closing anything on it; later calls do nothing.
    // The point must be owned by a shared pointer.
    void Cancel();
    bool cancelled() const;

    // Runs step(request) as the request's next call; request is null once the
    // owner has closed it, and step() throws code when it fails. A cancelled
    // request throws code with ERROR_INTERNET_OPERATION_CANCELLED instead of
    // starting the step. A step that fails after a cancel fails as
    // cancelled, whatever the system made of its closed handle; one that went
    // through all the same counts as cancelled too.
    template <class Step>
    void Run(HttpClientErrorCode code, Step&& step)
    {
        const HINTERNET request = Enter(code);
        {
            const Call call(*this);
            try {
                step(request);
            } catch (httpclientexceptionW& e) {
                if (cancelled())
                    e.LastError = ERROR_INTERNET_OPERATION_CANCELLED;
                throw;
            }
        }
        if (cancelled())
            ThrowWin32ErrorW(nullptr, code, ERROR_INTERNET_OPERATION_CANCELLED);
    }

    // The server has answered: from now on the answer may be left unread.
    void Answered();
    // The answer has been read to its end: closing reads nothing more.
    void Finished();

    // The owner's end of the request: on this thread when no answer is left
    // unread, otherwise on a thread of its own. Nothing when a cancel closed
    // it already.
    void Close();

private:
    struct Handles {
        kesh::win::InternetHandle internet, connection, request;
        void Close()
        {
            request.reset();
            connection.reset();
            internet.reset();
        }
    };
    // Marks the worker inside a call on the request for its lifetime.
    class Call {
    public:
        explicit Call(CancelPoint& point) : point_(point) {}
        ~Call() { point_.Leave(); }
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        CancelPoint& point_;
    };

    // The request for a call about to start (throws code when cancelled).
    HINTERNET Enter(HttpClientErrorCode code);
    void Leave();
    // The cancel's thread: waits up to kCallGrace for the call under way to
    // end, then closes what is still held.
    void CloseAfterCall();
    // Closes handles on this thread; answered: whether the server answered
    // the request.
    static void CloseHere(Handles& handles, bool answered);
    // Closes handles, of an answered request, on a thread nobody waits for
    // (here when no thread can be made).
    static void CloseApart(Handles handles);

    mutable std::mutex lock_;
    std::condition_variable callEnded_;
    bool cancelled_ = false;
    bool inCall_ = false;
    bool answered_ = false;
    bool finished_ = false;
    Handles handles_;
};

}  // namespace Tesmo
