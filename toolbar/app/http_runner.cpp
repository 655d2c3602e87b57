#include "toolbar/app/http_runner.h"

#include "toolbar/core/version_rules.h"

#include <string>

HttpRunner::HttpRunner(HWND owner) : owner_(owner), client_(new Client) {}

HttpRunner::~HttpRunner() = default;

LRESULT HttpRunner::Report(unsigned stage, void* record) const
{
    return SendMessageW(owner_, WM_RUNNER_STAGE, stage, reinterpret_cast<LPARAM>(record));
}

bool HttpRunner::Cancel() { return client_->Cancel(); }

void HttpRunner::stop() { Cancel(); }

void HttpRunner::Fetch(RunnerResult& result, Client::ResponsePtr& response)
{
    client_->SetUseUtf8();
    client_->m_bStrictFile = TRUE;
    client_->SetAgentName(L"Norpa");
    client_->AddHeader(L"Accept-Language", kesh::Wide(GetAcceptLanguage()).c_str());

    Report(kVersionStageRequest, nullptr);
    response = client_->RequestGet(VersionDocumentUrl().c_str(), Client::kRequestFlags);
    kesh::String body = ReadReplyBody(*response);
    if (response->GetStatus() != HTTP_STATUS_OK) {
        result.message = kServiceUnavailableText;
        return;
    }
    if (Report(kVersionStageCheck, &body))
        result.ok = true;
    else
        result.message = body;
}

void HttpRunner::run()
{
    RunnerResult result;
    Client::ResponsePtr response;
    // Nothing may leave the thread: the dialog waits for the last report.
    RunAtThreadBoundary<Tesmo::httpclientexceptionW>(result, [&](RunnerResult& r) { Fetch(r, response); });
    Report(kVersionStageFinished, &result);
}
