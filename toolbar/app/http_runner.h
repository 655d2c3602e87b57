#pragma once

#include "common/runner_protocol.h"
#include "httpclient/client.h"
#include "kesh/thread.h"

#include <boost/shared_ptr.hpp>

#include <windows.h>

// The version check's stages (wParam of WM_RUNNER_STAGE).
enum VersionStage : unsigned {
    kVersionStageRequest = 1,   // before the request; no record
    kVersionStageCheck = 2,     // the reply came with status 200; lParam the
                                // kesh::String body; the handler answers
                                // nonzero to accept it, else 0 with the body
                                // replaced by why not
    kVersionStageFinished = 3,  // always, last; lParam the RunnerResult
};

// The toolbar's version-check worker, run on a library thread by the check
// dialog that owns it. It asks the product's web site for the version
// document (agent "Norpa", "Accept-Language" from the user's locale) and
// reports each stage to the dialog, which judges the reply; it never
// touches a window but through its reports. Whatever happens, the last
// stage is sent exactly once, after the exchange with the site is over.
class HttpRunner : public kesh::sys::IRunnable {
public:
    explicit HttpRunner(HWND owner);
    ~HttpRunner() override;

    void run() override;
    // The program's exit: as Cancel.
    void stop() override;
    // From any thread: cuts the exchange off wherever it is (the client's
    // Cancel: not begun, the request being sent, the reply being read), so
    // the worker soon ends with a failure. False when it was cancelled
    // already.
    bool Cancel();

private:
    using Client = Tesmo::CHttpClient;

    // The exchange up to the stage that judges the reply. response keeps
    // the reply's connection until the last report has gone.
    void Fetch(RunnerResult& result, Client::ResponsePtr& response);
    LRESULT Report(unsigned stage, void* record) const;

    const HWND owner_;
    const boost::shared_ptr<Client> client_;
};
