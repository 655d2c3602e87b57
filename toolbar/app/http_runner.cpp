#include "toolbar/app/http_runner.h"

#include "toolbar/core/version_rules.h"

#include <string>

HttpRunner::HttpRunner(HWND owner) : NetworkRunner(owner), client_(new Client) {}

HttpRunner::~HttpRunner() = default;

bool HttpRunner::Cancel() { return client_->Cancel(); }

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
    Client::ResponsePtr response;
    ExchangeAndReport<Tesmo::httpclientexceptionW>(kVersionStageFinished,
                                                   [&](RunnerResult& r) { Fetch(r, response); });
}
