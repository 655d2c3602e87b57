// The upload worker against the fake upload server, reporting to a hidden
// window of the test that records every stage and answers the checking
// stages the way the progress dialog does. Every scenario must end in its
// last stage with its message, and leave no thread behind.
#include "common/runner_protocol.h"
#include "editor/upload/http_runner.h"
#include "editor/upload/upload_progress_rules.h"
#include "editor/upload/upload_stage.h"
#include "kesh/file.h"
#include "tests/editor_app_support.h"
#include "tests/editor_test_support.h"
#include "tests/upload_test_support.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <functional>
#include <string>
#include <vector>

namespace {

using kesh::Wide;
std::string Utf8(const std::wstring& text) { return kesh::String(text.c_str()).c_str(); }

struct Report {
    unsigned stage;
    std::string text;  // 2: the configuration, 6: the answer, 7: the message
    unsigned posted = 0, total = 0;
    bool ok = false;
};

// A message-only window that records the worker's reports and answers
// them with answer (stage, record).
class ReportWindow {
public:
    using Answer = std::function<LRESULT(unsigned, void*)>;

    explicit ReportWindow(Answer answer) : answer_(std::move(answer))
    {
        static const ATOM atom = [] {
            WNDCLASSW type = {};
            type.lpfnWndProc = &ReportWindow::Proc;
            type.hInstance = GetModuleHandleW(nullptr);
            type.lpszClassName = L"UploadWorkerTestReports";
            return RegisterClassW(&type);
        }();
        hwnd_ = CreateWindowExW(0, MAKEINTATOM(atom), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, this);
    }
    ~ReportWindow() { DestroyWindow(hwnd_); }
    HWND hwnd() const { return hwnd_; }
    std::vector<Report> reports;

    std::vector<unsigned> Stages() const
    {
        std::vector<unsigned> stages;
        for (const Report& report : reports)
            if (stages.empty() || stages.back() != report.stage)
                stages.push_back(report.stage);
        return stages;
    }
    const Report* Last(unsigned stage) const
    {
        for (auto it = reports.rbegin(); it != reports.rend(); ++it)
            if (it->stage == stage)
                return &*it;
        return nullptr;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
    {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams));
        ReportWindow* self = reinterpret_cast<ReportWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg != WM_RUNNER_STAGE || !self)
            return DefWindowProcW(hwnd, msg, w, l);
        const unsigned stage = static_cast<unsigned>(w);
        Report report{stage, std::string()};
        void* record = reinterpret_cast<void*>(l);
        if (stage == kStageCheckConfiguration)
            report.text = static_cast<kesh::StringPair*>(record)->first.c_str();
        if (stage == kStageCheckAnswer)
            report.text = static_cast<kesh::String*>(record)->c_str();
        if (stage == kStagePostProgress) {
            const Tesmo::CHttpPostStat& progress = *static_cast<const Tesmo::CHttpPostStat*>(record);
            report.ok = progress.IsActive();
            report.posted = report.ok ? progress.PostedByte() : 0;
            report.total = report.ok ? progress.TotalByte() : 0;
        }
        if (stage == kStageFinished) {
            const RunnerResult& result = *static_cast<const RunnerResult*>(record);
            report.ok = result.ok;
            report.text = result.message.c_str();
        }
        self->reports.push_back(report);
        return self->answer_(stage, record);
    }

    Answer answer_;
    HWND hwnd_;
};

class UploadWorkerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.available()) << "run through tests/with_upload_server.sh";
        image = files.path("upload.png");
        imageBytes = uploadtest::PngLikeBytes(5000);
        editorapptest::WriteFileBytes(image, imageBytes);
    }

    // What the progress dialog answers, through its own rules.
    LRESULT DialogAnswer(unsigned stage, void* record)
    {
        if (stage == kStageCheckConfiguration) {
            kesh::StringPair& configuration = *static_cast<kesh::StringPair*>(record);
            const ConfigurationVerdict verdict =
                CheckConfiguration(configuration.first, kesh::fs::size(image), width, height);
            if (verdict.ok)
                configuration.second = verdict.entry;
            else
                configuration.first = verdict.failure;
            return verdict.ok;
        }
        if (stage == kStageCheckAnswer) {
            kesh::String& answer = *static_cast<kesh::String*>(record);
            const AnswerVerdict verdict = ReadAnswer(answer);
            if (!verdict.ok)
                answer = verdict.failure;
            addresses = verdict.addresses.size();
            return verdict.ok;
        }
        return 1;
    }

    // Runs one upload to its end and waits until its thread is gone.
    void Upload(ReportWindow& window, boost::shared_ptr<HttpRunner>* keep = nullptr)
    {
        runner = boost::make_shared<HttpRunner>(window.hwnd(), uid, comment, sign, Wide(image));
        if (keep)
            *keep = runner;
        const boost::shared_ptr<kesh::sys::IThread> thread = kesh::sys::createThread(runner, 0, kesh::sys::kWorkerStackSize);
        uploadtest::PumpUntil(
            [&] {
                return !window.reports.empty() && window.reports.back().stage == kStageFinished && !thread->isAlive();
            },
            60000);
        EXPECT_FALSE(thread->isAlive()) << "the worker's thread is left behind";
        runner.reset();
    }

    uploadtest::FakeUploadServer server;
    editortest::TempFolder files;
    kesh::String image;
    std::string imageBytes;
    int width = 800, height = 600;
    std::wstring uid = L"0123456789abcdef0123456789abcdef", comment = L"一张截图\r\n第二行", sign = L"张三";
    boost::shared_ptr<HttpRunner> runner;
    unsigned addresses = 0;
};

std::string TransferBroken(DWORD code) { return TransferFailureMessage(code).c_str(); }

TEST_F(UploadWorkerTest, EveryScenarioEndsInItsLastStageAndMessage)
{
    const std::vector<unsigned> refusedAtConfiguration = {1, 2, 7};
    const std::vector<unsigned> whole = {1, 2, 3, 4, 5, 6, 7};
    struct Case {
        const char* scenario;
        std::vector<unsigned> stages;
        bool ok;
        std::string message;  // "*" alone: any transfer failure
        unsigned addresses;
    };
    const Case cases[] = {
        {"ok", whole, true, "", 2},
        {"config500", {1, 7}, false, "服务暂时不可用", 0},
        {"config_not_xml", refusedAtConfiguration, false, "无法识别的服务器回应", 0},
        {"entry_missing", refusedAtConfiguration, false, "无法识别的服务器回应", 0},
        {"entry_empty", refusedAtConfiguration, false, "无法识别的服务器回应", 0},
        {"size_limit_100", refusedAtConfiguration, false, "图片文件大小超出限制", 0},
        {"pixel_negative", refusedAtConfiguration, false, "图片文件像素数超出限制", 0},
        {"post500", {1, 2, 3, 4, 5, 7}, false, "服务暂时不可用", 0},
        {"result3", whole, false, "图片格式不被接受", 0},
        {"no_content", whole, false, "无法识别的服务器回应", 0},
        {"empty_list", whole, true, "", 0},
        {"nul", whole, true, "", 2},
        {"hundred", whole, true, "", 100},
        {"unsafe", whole, true, "", 4},
        // An answer that never ends, read to the client's cap and no further;
        // it is the answer that is too long, not the machine out of memory.
        {"endless", {1, 2, 3, 4, 5, 7}, false,
         "传输中断: CHttpResponseT::ReadContent: The content is longer than 67108864 bytes.", 0},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(server.SetScenario(c.scenario)) << c.scenario;
        addresses = 0;
        ReportWindow window([this](unsigned stage, void* record) { return DialogAnswer(stage, record); });
        Upload(window);
        EXPECT_EQ(c.stages, window.Stages()) << c.scenario;
        ASSERT_FALSE(window.reports.empty()) << c.scenario;
        const Report& last = window.reports.back();
        EXPECT_EQ(static_cast<unsigned>(kStageFinished), last.stage) << c.scenario;
        EXPECT_EQ(c.ok, last.ok) << c.scenario;
        EXPECT_EQ(c.message, last.text) << c.scenario;
        EXPECT_EQ(c.addresses, addresses) << c.scenario;
        for (const Report& report : window.reports) {
            if (report.stage == kStagePostProgress) {
                EXPECT_TRUE(report.ok) << c.scenario << ": an idle progress record was sent";
            }
        }
    }
}

TEST_F(UploadWorkerTest, AServerTakingThePictureSlowlyButSteadilyGetsItAndAnswers)
{
    // The whole body fits in the system's buffers at once, and the server
    // takes it at 8 KiB a second: about 5 s, longer than the time limit
    // (shortened), from the last byte handed over to the answer.
    imageBytes = uploadtest::PngLikeBytes(40000);
    editorapptest::WriteFileBytes(image, imageBytes);
    const uploadtest::ShortTimeLimit shortTimeLimit(2000);
    ASSERT_TRUE(server.SetScenario("steady"));
    ReportWindow window([this](unsigned stage, void* record) { return DialogAnswer(stage, record); });
    Upload(window);
    ASSERT_FALSE(window.reports.empty());
    EXPECT_TRUE(window.reports.back().ok) << window.reports.back().text;
    const uploadtest::PostRecord post = server.LastPost();
    ASSERT_EQ(4u, post.parts.size());
    EXPECT_EQ(imageBytes.size(), post.parts[1].length);
}

TEST_F(UploadWorkerTest, TheFormGoesOutInNameOrderWithAgentAndLanguage)
{
    ASSERT_TRUE(server.SetScenario("ok"));
    ReportWindow window([this](unsigned stage, void* record) { return DialogAnswer(stage, record); });
    Upload(window);
    const uploadtest::PostRecord post = server.LastPost();
    ASSERT_TRUE(post.present);
    ASSERT_FALSE(post.malformed);
    EXPECT_EQ("Vomla", post.agent);
    EXPECT_EQ(GetAcceptLanguage().c_str(), post.language);
    ASSERT_EQ(4u, post.parts.size());
    const char* names[] = {"comment", "image", "sign", "uid"};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(names[i], post.parts[i].name);
    EXPECT_EQ(Utf8(comment), post.parts[0].value);
    EXPECT_TRUE(post.parts[1].isFile);
    EXPECT_EQ("upload.png", post.parts[1].fileName);
    EXPECT_EQ(0u, post.parts[1].contentType.rfind("image/", 0)) << post.parts[1].contentType;
    EXPECT_EQ(imageBytes.size(), post.parts[1].length);
    EXPECT_EQ(uploadtest::Crc32(imageBytes), post.parts[1].crc32);
    EXPECT_EQ(Utf8(sign), post.parts[2].value);
    EXPECT_EQ(Utf8(uid), post.parts[3].value);

    // The progress counts the data bytes of all four, up to the last one.
    const unsigned total = static_cast<unsigned>(Utf8(comment).size() + imageBytes.size() + Utf8(sign).size() + 32);
    unsigned before = 0;
    for (const Report& report : window.reports) {
        if (report.stage != kStagePostProgress)
            continue;
        EXPECT_EQ(total, report.total);
        EXPECT_GE(report.posted, before);
        before = report.posted;
    }
    EXPECT_EQ(total, before);
}

TEST_F(UploadWorkerTest, AnEmptyClientIdIsSentAsAnEmptyField)
{
    uid.clear();
    ASSERT_TRUE(server.SetScenario("ok"));
    ReportWindow window([this](unsigned stage, void* record) { return DialogAnswer(stage, record); });
    Upload(window);
    const uploadtest::PostRecord post = server.LastPost();
    ASSERT_EQ(4u, post.parts.size());
    EXPECT_EQ("uid", post.parts[3].name);
    EXPECT_EQ("", post.parts[3].value);
    EXPECT_EQ(0u, post.parts[3].length);
}

TEST_F(UploadWorkerTest, AnswersAreReadWholeAndCutAtAZeroByte)
{
    ASSERT_TRUE(server.SetScenario("hundred"));
    ReportWindow hundred([this](unsigned stage, void* record) { return DialogAnswer(stage, record); });
    Upload(hundred);
    ASSERT_NE(nullptr, hundred.Last(kStageCheckAnswer));
    const std::string& long_answer = hundred.Last(kStageCheckAnswer)->text;
    EXPECT_GT(long_answer.size(), 1024u * 4);
    EXPECT_EQ("</content></rsp>", long_answer.substr(long_answer.size() - 16));

    ASSERT_TRUE(server.SetScenario("nul"));
    ReportWindow nul([this](unsigned stage, void* record) { return DialogAnswer(stage, record); });
    Upload(nul);
    ASSERT_NE(nullptr, nul.Last(kStageCheckAnswer));
    const std::string& cut = nul.Last(kStageCheckAnswer)->text;
    EXPECT_EQ("</content></rsp>", cut.substr(cut.size() - 16)) << "nothing after the zero byte";
}

TEST_F(UploadWorkerTest, TransportFailuresNameTheSystemsText)
{
    // The entry's port on 127.0.0.1 (reached directly) takes no connection.
    ASSERT_TRUE(server.SetScenario("entry_refused"));
    ReportWindow refused([this](unsigned stage, void* record) { return DialogAnswer(stage, record); });
    Upload(refused);
    EXPECT_EQ((std::vector<unsigned>{1, 2, 3, 7}), refused.Stages());
    EXPECT_EQ(TransferBroken(ERROR_INTERNET_CANNOT_CONNECT), refused.reports.back().text);

    // The server drops the connection while the image goes out.
    imageBytes = uploadtest::PngLikeBytes(8 << 20);
    editorapptest::WriteFileBytes(image, imageBytes);
    ASSERT_TRUE(server.SetScenario("dropped"));
    ReportWindow dropped([this](unsigned stage, void* record) { return DialogAnswer(stage, record); });
    Upload(dropped);
    EXPECT_EQ((std::vector<unsigned>{1, 2, 3, 4, 7}), dropped.Stages());
    EXPECT_EQ(0u, dropped.reports.back().text.rfind("传输中断: ", 0)) << dropped.reports.back().text;
    EXPECT_FALSE(dropped.reports.back().ok);

    // The image is gone before the POST starts: the client refuses it.
    DeleteFileW(Wide(image).c_str());
    ASSERT_TRUE(server.SetScenario("ok"));
    ReportWindow missing([this](unsigned stage, void* record) { return DialogAnswer(stage, record); });
    Upload(missing);
    EXPECT_EQ((std::vector<unsigned>{1, 2, 3, 7}), missing.Stages());
    EXPECT_EQ(TransferBroken(ERROR_FILE_NOT_FOUND), missing.reports.back().text);
}

TEST_F(UploadWorkerTest, CancelEndsTheUploadInEveryPhase)
{
    // A server on a slow line, and a picture long enough that its POST is
    // still running when the cancel comes.
    imageBytes = uploadtest::PngLikeBytes(1 << 20);
    editorapptest::WriteFileBytes(image, imageBytes);
    struct Case {
        const char* phase;
        unsigned cancelAt;  // the stage whose report cancels
        std::vector<unsigned> stages;
    };
    const Case cases[] = {
        {"before the configuration is asked for", kStageFetchConfiguration, {1, 7}},
        {"while the picture goes out", kStagePostProgress, {1, 2, 3, 4, 7}},
        {"before the answer is read", kStageAwaitAnswer, {1, 2, 3, 4, 5, 7}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(server.SetScenario("slow"));
        size_t cancelledAt = 0;
        ReportWindow window([&](unsigned stage, void* record) {
            if (stage == c.cancelAt && !cancelledAt && runner->Cancel())
                cancelledAt = window.reports.size();
            return DialogAnswer(stage, record);
        });
        Upload(window);
        EXPECT_NE(0u, cancelledAt) << c.phase;
        EXPECT_EQ(c.stages, window.Stages()) << c.phase;
        // Nothing more after the cancel, no further step of the POST above
        // all: the last stage at once.
        EXPECT_EQ(cancelledAt + 1, window.reports.size()) << c.phase;
        EXPECT_FALSE(window.reports.back().ok) << c.phase;
        EXPECT_EQ(TransferBroken(ERROR_INTERNET_OPERATION_CANCELLED), window.reports.back().text) << c.phase;
        if (c.cancelAt == kStagePostProgress) {
            uploadtest::PostRecord post;
            EXPECT_TRUE(uploadtest::PumpUntil([&] { return (post = server.LastPost()).present; })) << c.phase;
            EXPECT_LT(post.received, post.declared) << "the body went on after the cancel";
        }
    }
}

}  // namespace
