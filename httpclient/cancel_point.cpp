#include "httpclient/cancel_point.h"

#include "httpclient/tool.h"

#include <chrono>
#include <system_error>
#include <thread>
#include <utility>

namespace Tesmo {

void CancelPoint::Hold(kesh::win::InternetHandle internet, kesh::win::InternetHandle connection,
                       kesh::win::InternetHandle request)
{
    Handles held{std::move(internet), std::move(connection), std::move(request)};
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (!cancelled_) {
            std::swap(handles_, held);
            return;
        }
    }
    CloseHere(held, false);
}

void CancelPoint::Cancel()
{
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (cancelled_)
            return;
        cancelled_ = true;
        if (!handles_.request.isValid())
            return;
    }
    // The wait for the call under way, and the close that may read the rest
    // of an answer, happen on a thread of their own. Without one the worker
    // finds the mark at its next call and closes the request itself.
    try {
        std::thread([self = shared_from_this()] { self->CloseAfterCall(); }).detach();
    } catch (const std::system_error&) {
    }
}

bool CancelPoint::cancelled() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return cancelled_;
}

void CancelPoint::CloseAfterCall()
{
    Handles handles;
    bool answered = false;
    {
        std::unique_lock<std::mutex> hold(lock_);
        callEnded_.wait_for(hold, std::chrono::milliseconds(kCallGrace), [this] { return !inCall_; });
        std::swap(handles, handles_);
        answered = answered_;
    }
    CloseHere(handles, answered);
}

void CancelPoint::CloseHere(Handles& handles, bool answered)
{
    if (!handles.request.isValid())
        return;
    handles.Close();
    // A request cut off before its answer may still owe the server the rest
    // of a body. Wine's WinINet keeps idle connections per process, not per
    // internet handle, and puts this one back among them: the next request
    // (a retry's GET) would go out on it and be read as that rest. Closing
    // cannot keep it out, so the idle connections are let go.
    if (!answered)
        CHttpToolW::DropIdleConnections();
}

HINTERNET CancelPoint::Enter(HttpClientErrorCode code)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (cancelled_)
        ThrowWin32ErrorW(nullptr, code, ERROR_INTERNET_OPERATION_CANCELLED);
    inCall_ = true;
    return handles_.request.get();
}

void CancelPoint::Leave()
{
    {
        std::lock_guard<std::mutex> hold(lock_);
        inCall_ = false;
    }
    callEnded_.notify_all();
}

void CancelPoint::Answered()
{
    std::lock_guard<std::mutex> hold(lock_);
    answered_ = true;
}

void CancelPoint::Finished()
{
    std::lock_guard<std::mutex> hold(lock_);
    finished_ = true;
}

void CancelPoint::Close()
{
    Handles handles;
    bool answered = false;
    bool finished = false;
    {
        std::lock_guard<std::mutex> hold(lock_);
        std::swap(handles, handles_);
        answered = answered_;
        finished = finished_;
    }
    if (answered && !finished)
        CloseApart(std::move(handles));
    else
        CloseHere(handles, answered);
}

void CancelPoint::CloseApart(Handles handles)
{
    // Without a thread the handles close here, as the closure holding them
    // goes.
    try {
        std::thread([apart = std::move(handles)]() mutable { apart.Close(); }).detach();
    } catch (const std::system_error&) {
    }
}

}  // namespace Tesmo
