#pragma once

#include "common/runner_protocol.h"
#include "httpclient/client.h"

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
class HttpRunner : public NetworkRunner {
public:
    explicit HttpRunner(HWND owner);
    ~HttpRunner() override;

    void run() override;
    // NetworkRunner's, whether the request has not begun, is being sent or
    // its reply is being read.
    bool Cancel() override;

private:
    using Client = Tesmo::CHttpClient;

    // The exchange up to the stage that judges the reply. response keeps
    // the reply's connection until the last report has gone.
    void Fetch(RunnerResult& result, Client::ResponsePtr& response);

    const boost::shared_ptr<Client> client_;
};
