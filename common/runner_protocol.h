#pragma once

// How a program's network worker (its HttpRunner, on a library thread)
// reports to the dialog that started it. Both programs speak it:
//
// - The worker sends each stage with SendMessageW(dialog, WM_RUNNER_STAGE,
//   stage, address of the stage's record or 0). The dialog's handler runs
//   on the UI thread while the worker waits, so it may read and write the
//   record (which lives on the worker's stack) without a lock. A checking
//   stage answers nonzero (go on) or 0 (stop, the record holds why).
// - The worker's last stage carries a RunnerResult and is always sent,
//   exactly once, whatever happened before (every exception is caught at
//   the worker's thread boundary).
// - The dialog answers the last stage with FinishRunnerDialog
//   (common_ui/runner_dialog.h), which posts WM_RUNNER_DONE to the dialog
//   itself, and that message ends the dialog.
// - A dialog that stops waiting before the last stage (a Cancel that took,
//   when the last stage does not follow within the dialog's bound; the
//   window's end, with its owner or the program's) abandons the worker
//   first (NetworkRunner::Abandon): from then on no report of the worker
//   reaches the window, so the window may go while the worker still runs.
//   The worker goes on to its end with nothing waiting for it, its result
//   unseen, holding what it uses (it is held by shared handles); the
//   process's exit ends it at the latest (common/worker_exit.h).
//
// The stage numbers and their records belong to each worker. The worker's
// side is NetworkRunner, the dialog's CRunnerDialog (common_ui/runner_dialog.h).

#include "kesh/string.h"
#include "kesh/thread.h"

#include <windows.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <string>

constexpr UINT WM_RUNNER_STAGE = 0x8001;  // WM_APP + 1
constexpr UINT WM_RUNNER_DONE = 0x8002;   // WM_APP + 2; wParam IDOK or IDCANCEL

// The record of the worker's last stage.
struct RunnerResult {
    bool ok = false;
    kesh::String message;  // why it failed; empty on success
};

// Texts of the workers and their dialogs (UTF-8).
extern const char* const kServiceUnavailableText;  // a reply whose status is not 200
extern const char* const kUnrecognisedReplyText;   // a reply the dialog cannot read
extern const char* const kTransferBrokenPrefix;    // a transport failure, before the system's text

// The "Accept-Language" value of both workers: the user locale's ISO 639
// language name, "-", its ISO 3166 country name (zh-CN).
kesh::String GetAcceptLanguage();
// The rule behind it: language alone when the country is unknown, and the
// product's own language when the language is.
kesh::String AcceptLanguageFrom(const kesh::String& language, const kesh::String& country);

// kTransferBrokenPrefix followed by the system's text for a Win32 error
// code, searched in WinINet's messages first, inserts left as they stand;
// "Error Code is %u, FormatMessage Error Code is %u" when the system has
// none. Code 0 names no failure of the system (its text says all went
// well): ownText, the failure's own words, takes the system text's place.
kesh::String TransferFailureMessage(DWORD lastError, const kesh::String& ownText = kesh::String());

// A reply's whole body, read in pieces of 1024 bytes (Response::ReadContent
// fills at most that many per call and gives 0 at the end). The text ends at
// the body's first zero byte. Whatever ReadContent throws passes on.
// Linear in the body's length: the bytes gather in a buffer that grows by
// doubling and become the text once, so a body the client cuts off at its
// content limit (an answer that never ends) is read to that limit in time
// proportional to it.
template <class Response>
kesh::String ReadReplyBody(Response& response)
{
    constexpr size_t kPiece = 1024;
    std::string bytes;
    size_t length = 0;
    for (;;) {
        bytes.resize(length + kPiece);
        const unsigned read = response.ReadContent(reinterpret_cast<BYTE*>(&bytes[length]));
        if (read == 0)
            break;
        length += read;
    }
    bytes.resize(length);
    return kesh::String(bytes.c_str(), static_cast<unsigned>(std::min<size_t>(length, kesh::String::npos - 1)));
}

// A worker's exchange, run at its thread's boundary: exchange(result) fills
// result; whatever it throws makes result a failure instead, so the last
// stage is always sent. A Failure (the HTTP client's exception, whose
// LastError is the failed call's Win32 code and errmsg() its own text)
// becomes TransferFailureMessage of that code and text; running out of
// memory and anything else become that of ERROR_NOT_ENOUGH_MEMORY and
// ERROR_INTERNAL_ERROR.
template <class Failure, class Exchange>
void RunAtThreadBoundary(RunnerResult& result, Exchange&& exchange)
{
    DWORD error = ERROR_SUCCESS;
    try {
        exchange(result);
        return;
    } catch (const Failure& e) {
        result.ok = false;
        result.message = TransferFailureMessage(e.LastError, kesh::String(e.errmsg()));
        return;
    } catch (const std::bad_alloc&) {
        error = ERROR_NOT_ENOUGH_MEMORY;
    } catch (...) {
        error = ERROR_INTERNAL_ERROR;
    }
    result.ok = false;
    result.message = TransferFailureMessage(error);
}

// What both programs' workers (each an HttpRunner) share: the dialog they
// report to, the last stage that always comes, the one Cancel through
// which their dialog and the program's exit stop them, and their
// abandonment.
class NetworkRunner : public kesh::sys::IRunnable {
public:
    // From any thread: cuts the exchange off wherever it is (the HTTP
    // client's Cancel), so that the worker soon ends with a failure. False
    // when it was cancelled already.
    virtual bool Cancel() = 0;
    // The program's exit: as Cancel.
    void stop() override { Cancel(); }

    // On the owner's thread, when the owner stops waiting for the worker:
    // from now on Report sends nothing (and answers 0), and when this
    // returns no report is on its way to the owner either. Meanwhile the
    // messages sent to this thread are handled, a report already on its
    // way included (the owner's handler must ignore it by then). Never
    // waits for the network: a report on its way is only the worker's own
    // steps away from the owner's queue.
    void Abandon();

protected:
    explicit NetworkRunner(HWND owner) : owner_(owner) {}

    // Sends one stage to the owner and returns its answer; 0, sending
    // nothing, once the worker is abandoned.
    LRESULT Report(unsigned stage, void* record) const;
    // Runs exchange at the thread's boundary (RunAtThreadBoundary) and sends
    // its result as lastStage: nothing leaves the thread, and the dialog,
    // which waits for that report, always has it.
    template <class Failure, class Exchange>
    void ExchangeAndReport(unsigned lastStage, Exchange&& exchange) const
    {
        RunnerResult result;
        RunAtThreadBoundary<Failure>(result, exchange);
        Report(lastStage, &result);
    }

private:
    const HWND owner_;
    // Whether the worker is abandoned, and whether a report is on its way.
    mutable std::mutex lock_;
    bool abandoned_ = false;
    mutable bool reporting_ = false;
};
