#include "toolbar/app/http_runner.h"

#include "toolbar/core/version_rules.h"

#include <string>

HttpRunner::HttpRunner(HWND owner) : owner_(owner), client_(new Client) {}

HttpRunner::~HttpRunner() = default;

LRESULT HttpRunner::Report(unsigned stage, void* record) const
{
    return SendMessageW(owner_, WM_RUNNER_STAGE, stage, reinterpret_cast<LPARAM>(record));
}

bool HttpRunner::StartReading(Client::Response* response)
{
    kesh::sys::ScopedLock lock(mutex_);
    reading_ = response;
    if (cancelled_ && reading_)
        reading_->CloseRequestHandle();
    return cancelled_;
}

void HttpRunner::EndExchange()
{
    kesh::sys::ScopedLock lock(mutex_);
    over_ = true;
    reading_ = nullptr;
}

bool HttpRunner::Cancel()
{
    kesh::sys::ScopedLock lock(mutex_);
    if (over_)
        return false;
    cancelled_ = true;
    // The client keeps the cancel: a GET whose request is not open yet
    // fails before it goes out, one being sent fails under its send.
    client_->CloseGetRequestHandle();
    if (reading_)
        reading_->CloseRequestHandle();
    return true;
}

void HttpRunner::stop() { Cancel(); }

void HttpRunner::Fetch(RunnerResult& result, Client::ResponsePtr& response)
{
    client_->SetUseUtf8();
    client_->m_bStrictFile = TRUE;
    client_->SetAgentName(L"Norpa");
    client_->AddHeader(L"Accept-Language", kesh::Wide(GetAcceptLanguage()).c_str());

    Report(kVersionStageRequest, nullptr);
    if (StartReading(nullptr)) {
        result.message = TransferFailureMessage(ERROR_INTERNET_OPERATION_CANCELLED);
        return;
    }
    response = client_->RequestGet(VersionDocumentUrl().c_str(), Client::kRequestFlags);
    StartReading(response.get());
    kesh::String body = ReadReplyBody(*response);
    const DWORD status = response->GetStatus();
    EndExchange();
    if (status != HTTP_STATUS_OK) {
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
    EndExchange();
    Report(kVersionStageFinished, &result);
}
