#include "common/runner_protocol.h"

#include <cwchar>
#include <vector>

const char* const kServiceUnavailableText = "服务暂时不可用";
const char* const kUnrecognisedReplyText = "无法识别的服务器回应";
const char* const kTransferBrokenPrefix = "传输中断: ";

namespace {

// The product speaks Simplified Chinese; a locale that names no language
// still gets a header (the HTTP client refuses an empty one).
constexpr const char* kProductLanguage = "zh-CN";

kesh::String LocaleText(LCTYPE type)
{
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (length <= 0)
        return kesh::String();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer.data(), length);
    return kesh::String(buffer.data());
}

}  // namespace

kesh::String AcceptLanguageFrom(const kesh::String& language, const kesh::String& country)
{
    if (language.isEmpty())
        return kProductLanguage;
    if (country.isEmpty())
        return language;
    return language + "-" + country;
}

kesh::String GetAcceptLanguage()
{
    return AcceptLanguageFrom(LocaleText(LOCALE_SISO639LANGNAME), LocaleText(LOCALE_SISO3166CTRYNAME));
}

kesh::String TransferFailureMessage(DWORD lastError, const kesh::String& ownText)
{
    if (lastError == ERROR_SUCCESS)
        return kTransferBrokenPrefix + ownText;
    wchar_t text[512] = {};
    const HMODULE wininet = GetModuleHandleW(L"wininet.dll");
    // No insert arguments are passed: a text with "%1" in it must not
    // make the system read arguments that are not there.
    const DWORD flags = FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM |
                        (wininet ? FORMAT_MESSAGE_FROM_HMODULE : 0);
    if (FormatMessageW(flags, wininet, lastError, 0, text, 512, nullptr) == 0) {
        const DWORD formatError = GetLastError();
        swprintf(text, 512, L"Error Code is %u, FormatMessage Error Code is %u", static_cast<unsigned>(lastError),
                 static_cast<unsigned>(formatError));
    }
    return kTransferBrokenPrefix + kesh::String(text);
}

LRESULT NetworkRunner::Report(unsigned stage, void* record) const
{
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (abandoned_)
            return 0;
        reporting_ = true;
    }
    // Never under the lock: the owner's Abandon takes it while this waits
    // for the owner.
    const LRESULT answer = SendMessageW(owner_, WM_RUNNER_STAGE, stage, reinterpret_cast<LPARAM>(record));
    std::lock_guard<std::mutex> hold(lock_);
    reporting_ = false;
    return answer;
}

void NetworkRunner::Abandon()
{
    {
        std::lock_guard<std::mutex> hold(lock_);
        abandoned_ = true;
    }
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (!reporting_)
                return;
        }
        // A peek handles what is sent to this thread (the report on its
        // way, once it comes); the wait ends when something is sent, or
        // after a moment, for a report not sent yet.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_SENDMESSAGE, 0);
    }
}
