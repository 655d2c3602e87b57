#include "editor/upload/http_runner.h"

#include "common/runner_protocol.h"
#include "editor/upload/upload_stage.h"
#include "httpclient/client.h"
#include "httpclient/client_post.h"
#include "kesh/string.h"

#include <memory>
#include <new>

const wchar_t* const kUploadServerHost = L"upload.norpasoft.com";

std::wstring UploadConfigurationUrl()
{
    return std::wstring(L"http://") + kUploadServerHost + L"/api/config.xml";
}

namespace {

using kesh::Wide;

}  // namespace

// One upload from the configuration to the answer. The response still held
// is deleted only after the last report, as the request's connection ends
// with it.
struct HttpRunner::Exchange {
    const HttpRunner& runner;
    Client& client;
    Client::ResponsePtr response;

    void Run(RunnerResult& result)
    {
        client.SetUseUtf8();
        client.m_bStrictFile = TRUE;
        client.SetAgentName(L"Vomla");
        client.AddHeader(L"Accept-Language", Wide(GetAcceptLanguage()).c_str());

        runner.Report(kStageFetchConfiguration, nullptr);
        response = client.RequestGet(UploadConfigurationUrl().c_str(), Client::kRequestFlags);
        kesh::StringPair configuration(ReadReplyBody(*response), kesh::String());
        if (response->GetStatus() != HTTP_STATUS_OK) {
            result.message = kServiceUnavailableText;
            return;
        }
        if (!runner.Report(kStageCheckConfiguration, &configuration)) {
            result.message = configuration.first;
            return;
        }
        const std::wstring entry = Wide(configuration.second);
        response.reset();

        client.AddParam(L"uid", runner.uid_.c_str(), 0);
        client.AddParam(L"comment", runner.comment_.c_str(), 0);
        client.AddParam(L"sign", runner.sign_.c_str(), 0);
        client.AddParam(L"image", runner.imagePath_.c_str(), Tesmo::HttpParamFile);
        runner.Report(kStageStartPost, nullptr);
        client.StartMultipartPost(entry.c_str(), Client::kRequestFlags);
        while (!(response = client.PostNextChunk())) {
            Tesmo::CHttpPostStat progress;
            progress = client.GetPostStat();
            if (progress.IsActive())
                runner.Report(kStagePostProgress, &progress);
        }

        runner.Report(kStageAwaitAnswer, nullptr);
        kesh::String answer = ReadReplyBody(*response);
        if (response->GetStatus() != HTTP_STATUS_OK) {
            result.message = kServiceUnavailableText;
            return;
        }
        if (runner.Report(kStageCheckAnswer, &answer))
            result.ok = true;
        else
            result.message = answer;
    }
};

HttpRunner::HttpRunner(HWND owner, const std::wstring& uid, const std::wstring& comment, const std::wstring& sign,
                       const std::wstring& imagePath)
    : NetworkRunner(owner), client_(new Client), uid_(uid), comment_(comment), sign_(sign), imagePath_(imagePath)
{
}

HttpRunner::~HttpRunner() = default;

void HttpRunner::run()
{
    Exchange exchange{*this, *client_, nullptr};
    ExchangeAndReport<Tesmo::httpclientexceptionW>(kStageFinished, [&](RunnerResult& r) { exchange.Run(r); });
}

bool HttpRunner::Cancel() { return client_->Cancel(); }
