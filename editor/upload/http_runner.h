#pragma once

#include "common/runner_protocol.h"
#include "httpclient/client.h"

#include <boost/shared_ptr.hpp>

#include <windows.h>

#include <string>
#include <utility>

// The upload server. Its host is this one name, in every build. A test
// reaches a stand-in server only through WinINet's proxy setting: the
// http_proxy environment variable, which Wine's WinINet honours, set for the
// test process and inherited by the programs it starts (see
// tests/upload_test_support.h); the requests still name this host.
extern const wchar_t* const kUploadServerHost;
// http://<host>/api/config.xml, the configuration every upload starts with.
std::wstring UploadConfigurationUrl();

// The editor's upload worker, run on a library thread by the progress
// dialog that owns it. It fetches the server's configuration, posts the
// image with the comment, the signature and the client id as a multipart
// form (agent "Vomla", "Accept-Language" from the user's locale) and
// fetches the answer, reporting each stage to the dialog (UploadStage,
// common/runner_protocol.h). The dialog judges the two documents; the
// worker never touches a window but through its reports. Whatever happens,
// the last stage (kStageFinished) is sent exactly once.
class HttpRunner : public NetworkRunner {
public:
    HttpRunner(HWND owner, const std::wstring& uid, const std::wstring& comment, const std::wstring& sign,
               const std::wstring& imagePath);
    ~HttpRunner() override;

    void run() override;
    // As NetworkRunner's; besides, no further part of the image is handed to
    // the system (what it holds already may still reach the server).
    bool Cancel() override;
    // Keeps owner, what removes the image's file when its last holder lets
    // go, until the worker itself goes, after its client has let go of the
    // file: the file is never removed while the upload may still read it,
    // also when the dialog that started the worker is gone. Before run.
    void HoldImage(boost::shared_ptr<const void> owner) { imageOwner_ = std::move(owner); }

private:
    using Client = Tesmo::CHttpClient;
    struct Exchange;

    // Before the client, so that it goes after it.
    boost::shared_ptr<const void> imageOwner_;
    const boost::shared_ptr<Client> client_;
    const std::wstring uid_;
    const std::wstring comment_;
    const std::wstring sign_;
    const std::wstring imagePath_;
};
