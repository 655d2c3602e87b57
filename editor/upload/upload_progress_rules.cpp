#include "editor/upload/upload_progress_rules.h"

#include "common/runner_protocol.h"
#include "editor/upload/byte_size.h"
#include "editor/upload/upload_stage.h"
#include "kesh/xml.h"

namespace {

const char* const kSizeLimitText = "图片文件大小超出限制";
const char* const kPixelLimitText = "图片文件像素数超出限制";
const char* const kNoLimit = "2147483647";

// The first direct child of root named name (any letter case), or empty.
kesh::xml::ElementPtr FirstChild(const kesh::xml::ElementPtr& root, const char* name)
{
    const kesh::xml::ElementArray found = root->select(name, true);
    return found.isEmpty() ? kesh::xml::ElementPtr() : found.at(0);
}

kesh::xml::ElementPtr RootOf(const kesh::String& body)
{
    const kesh::xml::DocumentPtr document = kesh::xml::parse(body);
    return document ? document->getRoot() : kesh::xml::ElementPtr();
}

}  // namespace

const wchar_t* UploadStageText(unsigned stage)
{
    switch (stage) {
    case kStageFetchConfiguration: return L"获取服务器配置...";
    case kStageCheckConfiguration: return L"验证数据有效性...";
    case kStageStartPost: return L"发送图片数据...";
    case kStageAwaitAnswer: return L"接收服务器回应...";
    case kStageCheckAnswer: return L"操作完成";
    default: return nullptr;
    }
}

int ProgressPosition(unsigned posted, unsigned total)
{
    if (total == 0)
        return 0;
    return static_cast<int>(static_cast<unsigned long long>(posted) * 100 / total);
}

kesh::String ProgressBytesText(unsigned posted, unsigned total)
{
    return FormatByteSize(posted) + "/" + FormatByteSize(total);
}

ConfigurationVerdict CheckConfiguration(const kesh::String& body, unsigned long long fileSize, int width, int height)
{
    ConfigurationVerdict verdict;
    const kesh::xml::ElementPtr root = RootOf(body);
    if (!root) {
        verdict.failure = kUnrecognisedReplyText;
        return verdict;
    }
    if (const kesh::xml::ElementPtr limit = FirstChild(root, "limit")) {
        const long long size = limit->getAttribute("size", kNoLimit, true).toLong(10);
        if (fileSize > static_cast<unsigned long long>(size)) {
            verdict.failure = kSizeLimitText;
            return verdict;
        }
        const long long pixels = limit->getAttribute("pixel", kNoLimit, true).toLong(10);
        if (static_cast<long long>(width) * height > pixels) {
            verdict.failure = kPixelLimitText;
            return verdict;
        }
    }
    const kesh::xml::ElementPtr entry = FirstChild(root, "entry");
    verdict.entry = entry ? entry->getText() : kesh::String();
    if (verdict.entry.isEmpty()) {
        verdict.failure = kUnrecognisedReplyText;
        return verdict;
    }
    verdict.ok = true;
    return verdict;
}

AnswerVerdict ReadAnswer(const kesh::String& body)
{
    AnswerVerdict verdict;
    const kesh::xml::ElementPtr root = RootOf(body);
    const kesh::xml::ElementPtr result = root ? FirstChild(root, "result") : kesh::xml::ElementPtr();
    if (!result) {
        verdict.failure = kUnrecognisedReplyText;
        return verdict;
    }
    if (result->getAttribute("code", "", true).toULong(10) != 0) {
        verdict.failure = result->getText();
        return verdict;
    }
    const kesh::xml::ElementPtr content = FirstChild(root, "content");
    if (!content) {
        verdict.failure = kUnrecognisedReplyText;
        return verdict;
    }
    const kesh::xml::ElementArray urls = content->select("url", true);
    for (unsigned i = 0; i < urls.size(); ++i)
        verdict.addresses.append(kesh::StringPair(urls.at(i)->getAttribute("title", "", true), urls.at(i)->getText()));
    verdict.ok = true;
    return verdict;
}
