#pragma once

// The HTTP client object: set-up (UTF-8, agent, headers, parameters), GET,
// and the state of a multipart POST.
//
// One client serves one worker thread at a time. The exception is Cancel,
// which any thread may call: it takes the client's one lock for a moment and
// reaches the request under way through its CancelPoint.
//
// Whatever a server does, a request ends (under Wine, where Wine applies
// the limits: see Cancel): every connect, send and receive call of WinINet
// fails once the client's time limit passes without a byte going either
// way (kDefaultTimeLimit, 30 s), and redirects are followed by the client
// itself, at most kMaxRedirects of them and only to http and https
// addresses (a loop fails with ERROR_HTTP_REDIRECT_FAILED). The one
// longer wait is that for a POST's answer once its whole body is handed
// over (PostAnswerTimeLimit): the system may still be sending the body
// then, and the server is not silent while it takes it.
//
// The POST members are defined in client_post.h; a program that includes only
// this header has no POST (calling one fails at link time) and links none of
// the tool's POST and file calls.

#include "httpclient/client_map.h"
#include "httpclient/encoder.h"
#include "httpclient/post_stat.h"
#include "httpclient/response.h"
#include "httpclient/url_analyzer.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace Tesmo {

template <class Tool, class Encoder>
class CHttpClientT {
public:
    using Response = CHttpResponseT<Tool>;
    using ResponsePtr = std::unique_ptr<Response>;
    using PostStat = CHttpPostStatT<Tool>;

    // Request flags both programs use: reload, no cache write, keep the
    // connection, resynchronise, hyperlink, no UI, "no-cache".
    static constexpr DWORD kRequestFlags = 0x84400F00;
    // What a client without a boundary of its own sends.
    static constexpr const char* kFixedBoundary = "----TESMO-FB3B405B7EAE495aB0C0295C54D4E096-";
    static constexpr const wchar_t* kFixedContentType =
        L"multipart/form-data; boundary=----TESMO-FB3B405B7EAE495aB0C0295C54D4E096-";
    // How long a connect, send or receive may go without a byte before it
    // fails: long enough for a slow line, short enough that a silent server
    // ends in a failure the user is told about.
    static constexpr DWORD kDefaultTimeLimit = 30000;
    // Redirects followed per request: more than a server's own moves need,
    // few enough that a loop ends at once.
    static constexpr unsigned kMaxRedirects = 5;
    // The slowest line a POST's body is allowed to cross, in bytes a
    // second (32 kbit/s).
    static constexpr uint32_t kSlowestLine = 4096;
    // How long a POST's answer may take once the last byte of its body is
    // handed to the system, in milliseconds: the time limit, plus the time
    // the whole body (bodyBytes; for all the client knows, the system holds
    // all of it still) takes on the slowest line, one second for every
    // kSlowestLine bytes. Just under INFINITE at the most.
    static DWORD PostAnswerTimeLimit(DWORD timeLimit, uint32_t bodyBytes)
    {
        const uint64_t milliseconds = timeLimit + uint64_t{bodyBytes} * 1000 / kSlowestLine;
        return static_cast<DWORD>(std::min<uint64_t>(milliseconds, INFINITE - 1));
    }

    CHttpClientT();
    // Abandons a running POST (its request, connection and internet handles
    // are closed in that order, then WinINet's idle connections dropped).
    virtual ~CHttpClientT() { _AbandonPostContext(); }
    CHttpClientT(const CHttpClientT&) = delete;
    CHttpClientT& operator=(const CHttpClientT&) = delete;

    // When set, a file parameter that cannot be opened fails the POST with
    // 603; when clear, it is sent empty as "application/octet-stream".
    BOOL m_bStrictFile = FALSE;

    // Set-up; none of it touches the network. Refused (code 0) while a POST
    // runs, except AddHeader and SetAgentName.
    // Names and values go out in UTF-8 from now on; returns the old setting.
    BOOL SetUseUtf8();
    void AddHeader(const wchar_t* name, const wchar_t* value);
    // flags: HttpParamFile, HttpParamRawName, HttpParamRawValue.
    void AddParam(const wchar_t* name, const wchar_t* value, DWORD flags);
    // Null: the default agent "Tesmo HTTP Client Class".
    void SetAgentName(const wchar_t* agent);
    // The time limit clients made from now on take, in milliseconds:
    // kDefaultTimeLimit, unless a test shortens it for the clients of the
    // program it drives.
    static void SetDefaultTimeLimit(DWORD milliseconds) { defaultTimeLimit() = milliseconds; }

    // The URL a GET with the parameters asks for: url, "?" (or "&" after a
    // query of its own), the parameters in map order as name=value, URL-
    // encoded, then url's fragment. _MakeGetUrlLen is its length without the
    // NUL; buff holds that plus 1.
    uint32_t _MakeGetUrlLen(const wchar_t* url) const;
    wchar_t* MakeGetUrl(const wchar_t* url, wchar_t* buff) const;

    // Connection steps of GET and POST.
    InternetHandle OpenConnection(const wchar_t* url, HINTERNET internet) const;
    void ApplyProxyAccount(HINTERNET connection) const;
    InternetHandle OpenRequest(const wchar_t* url, HINTERNET connection, const wchar_t* verb, DWORD flags) const;
    void AddRequestHeader(HINTERNET request) const;

    // Sends a GET (abandoning a running POST first), follows its redirects
    // and hands over the last request's handles in the response.
    ResponsePtr RequestGet(const wchar_t* url, DWORD flags);

    // Cancel, from any thread, whatever the client is doing: a request not
    // begun yet never goes out, the request being sent (a GET, a POST's
    // start, a POST step) is cut off and nothing more of it is handed to
    // the system (what the system holds already may still reach the
    // server: WinINet closes a connection only gracefully), and the answer
    // being read through the last request's response fails. The call cut
    // off throws its code with ERROR_INTERNET_OPERATION_CANCELLED. The
    // cancel stays: every later request of this client fails the same way
    // before anything goes out. Windows interrupts a blocked call at once;
    // Wine ends it when the server next sends or takes something or the
    // time limit runs out, where Wine applies the limit (not to a TLS hello
    // nor to headers that never end: there the call may wait for good, and
    // its caller must not). True when this call cancelled the client, false
    // when it was cancelled already.
    bool Cancel();

    // Multipart POST, driven step by step (client_post.h).
    void StartMultipartPost(const wchar_t* url, DWORD flags);
    // One part header, one chunk of at most 4096 data bytes or the closing
    // line per call; null while the POST goes on, the response on the call
    // that ends it. A failed step abandons the POST.
    ResponsePtr PostNextChunk();
    // The record to show: before the first step the one that already names
    // the first parameter, afterwards the live one.
    const PostStat& GetPostStat() const;

    // The POST's request goes to the caller and the rest of its state is
    // freed; the client is then without a POST.
    std::shared_ptr<CancelPoint> _ReleasePostContext();
    ResponsePtr _ReleasePostResponse();
    void _AbandonPostContext();
    void _WritePost(const void* bytes, uint32_t count, bool isData);
    void _WritePost(const char* text) { _WritePost(text, static_cast<uint32_t>(std::strlen(text)), false); }
    void _WritePost(const wchar_t* text);

private:
    struct PostContext {
        std::vector<KernelHandle> files;  // one per file parameter, in map order
        std::vector<AnsiText> mimeTypes;
        // Counted when the POST starts: the body length is declared then, so
        // a file that changes later must not change what is sent.
        std::vector<uint32_t> fileSizes;
        AnsiText data;  // the current text parameter in the body's encoding
        std::shared_ptr<CancelPoint> request;
        DWORD flags = 0;   // the request flags, for the answer's redirects
        int postKind = 1;  // 0 once a multipart POST has started
        std::unique_ptr<BYTE[]> readBuffer;
    };

    bool postActive() const { return m_statLive.m_bActive != FALSE; }
    void refuseDuringPost(const wchar_t* message) const
    {
        if (postActive())
            ThrowMessageW(message);
    }
    const wchar_t* agent() const { return m_szAgent ? m_szAgent.get() : L"Tesmo HTTP Client Class"; }
    const char* boundaryA() const { return m_szBoundaryA ? m_szBoundaryA.get() : kFixedBoundary; }
    const wchar_t* contentType() const { return m_szContentType ? m_szContentType.get() : kFixedContentType; }
    InternetHandle openInternet() const;
    // The cancel point of a request about to open, where Cancel finds it;
    // throws code as cancelled when the client's cancel came already.
    std::shared_ptr<CancelPoint> startRequest(HttpClientErrorCode code);
    // One GET of url as it stands, without following a redirect.
    ResponsePtr sendGet(const wchar_t* url, DWORD flags);
    // Goes where response redirects to, by GET, as long as it does (afterPost:
    // response answers a POST, whose body cannot go again: only a redirect
    // that asks for a GET is followed).
    ResponsePtr followRedirects(ResponsePtr response, DWORD flags, bool afterPost);
    static std::atomic<DWORD>& defaultTimeLimit()
    {
        static std::atomic<DWORD> limit{kDefaultTimeLimit};
        return limit;
    }
    // A text's length and bytes in the body's encoding (UTF-8 or the code page).
    uint32_t bodyLength(const wchar_t* text) const;
    // Bytes that go into the body as they stand.
    static uint32_t bodyLength(const char* bytes) { return SafeCount(std::strlen(bytes)); }
    AnsiText bodyText(const wchar_t* text) const;
    template <class Sink>
    void emitGetUrl(const wchar_t* url, Sink& sink) const;
    ResponsePtr _ProceedUploadContext();
    uint32_t startFileParam(const wchar_t* path, PostContext& ctx) const;
    // The multipart body's own bytes around the parameters' data: a part's
    // header (mimeType null: a text parameter's), a part's end and the
    // body's end, each piece handed to put as a const char* (bytes as they
    // stand) or a const wchar_t* (a text in the body's encoding).
    template <class Put>
    void emitPartHeader(const wchar_t* name, const wchar_t* path, const char* mimeType, Put&& put) const;
    template <class Put>
    static void emitPartEnd(Put&& put) { put("\r\n"); }
    template <class Put>
    void emitBodyEnd(bool withParams, Put&& put) const;
    void writeChunk(uint32_t n);

    WideText m_szBoundary;
    AnsiText m_szBoundaryA;
    WideText m_szContentType;
    BOOL m_bUseUtf8 = FALSE;
    UINT m_nCodePage = CP_ACP;
    CHttpClientMapT<Tool> m_mapHeader;
    CHttpClientMapT<Tool> m_mapParam;
    std::unique_ptr<wchar_t[]> m_szAgent;
    // InternetOpen's settings; nothing in the programs changes them.
    DWORD m_dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG;
    const wchar_t* m_szProxy = nullptr;
    const wchar_t* m_szProxyBypass = nullptr;
    DWORD m_dwOpenFlags = 0;
    // The proxy's account, kept because the interface lists it; nothing sets it, so none is sent.
    const wchar_t* m_szProxyUserName = nullptr;
    const wchar_t* m_szProxyPassword = nullptr;
    PostStat m_statInitial;
    PostStat m_statLive;
    PostContext m_ctx;
    DWORD m_nTimeLimit = defaultTimeLimit();
    // Cancel's state: whether it came, and the request under way. Only the
    // request's owner keeps its point alive.
    std::mutex m_cancelLock;
    bool m_bCancelled = false;
    std::weak_ptr<CancelPoint> m_currentRequest;
};

template <class Tool, class Encoder>
CHttpClientT<Tool, Encoder>::CHttpClientT()
{
    // Without a boundary of its own the client still works, on the fixed one.
    try {
        WideText boundary = Tool::CreateBoundary();
        if (!boundary)
            return;
        const std::wstring type = L"multipart/form-data; boundary=" + std::wstring(boundary.get());
        WideText contentType = std::make_unique<wchar_t[]>(type.size() + 1);
        std::wmemcpy(contentType.get(), type.c_str(), type.size() + 1);
        AnsiText boundaryA = std::make_unique<char[]>(Encoder::AnsiEncodeLen(boundary.get(), m_nCodePage) + 1);
        Encoder::AnsiEncode(boundary.get(), boundaryA.get(), m_nCodePage);
        m_szBoundary = std::move(boundary);
        m_szContentType = std::move(contentType);
        m_szBoundaryA = std::move(boundaryA);
    } catch (...) {
    }
}

template <class Tool, class Encoder>
BOOL CHttpClientT<Tool, Encoder>::SetUseUtf8()
{
    refuseDuringPost(L"CHttpClientT::SetUseUtf8: It is not allowed to call this method if the POST context is active.");
    return std::exchange(m_bUseUtf8, TRUE);
}

template <class Tool, class Encoder>
void CHttpClientT<Tool, Encoder>::AddHeader(const wchar_t* name, const wchar_t* value)
{
    if (!value)
        ThrowMessageW(L"CHttpClientT::AddHeader: szValue can not be NULL.");
    if (!*value)
        ThrowMessageW(L"CHttpClientT::AddHeader: szValue can not be an empty string.");
    m_mapHeader.Add(name, value, 0);
}

template <class Tool, class Encoder>
void CHttpClientT<Tool, Encoder>::AddParam(const wchar_t* name, const wchar_t* value, DWORD flags)
{
    refuseDuringPost(L"CHttpClientT::AddParam: It is not allowed to call this method if the POST context is active.");
    m_mapParam.Add(name, value, flags);
}

template <class Tool, class Encoder>
void CHttpClientT<Tool, Encoder>::SetAgentName(const wchar_t* agent)
{
    AssignString(agent, m_szAgent);
}

// Both the length and the URL come from this one walk, so they cannot
// disagree. Sink: put(text, count) and putEncoded(text, raw).
template <class Tool, class Encoder>
template <class Sink>
void CHttpClientT<Tool, Encoder>::emitGetUrl(const wchar_t* url, Sink& sink) const
{
    if (!url)
        url = L"";
    const uint32_t urlLength = SafeCount(std::wcslen(url));
    if (m_mapParam.Count() == 0) {
        sink.put(url, urlLength);
        return;
    }
    CHttpUrlAnalyzerT<wchar_t> parts;
    parts.Analyze(url, m_nCodePage);
    sink.put(url, parts.path.offset);
    if (parts.path.length == 0)
        sink.put(L"/", 1);
    sink.put(url + parts.path.offset, parts.fragment.offset - parts.path.offset);
    sink.put(parts.query.length > 0 ? L"&" : L"?", 1);
    bool first = true;
    for (const auto& param : m_mapParam) {
        if (!first)
            sink.put(L"&", 1);
        first = false;
        sink.putEncoded(param.first.get(), (param.second.flags & HttpParamRawName) != 0);
        sink.put(L"=", 1);
        sink.putEncoded(param.second.value ? param.second.value.get() : L"",
                        (param.second.flags & HttpParamRawValue) != 0);
    }
    sink.put(url + parts.fragment.offset, parts.fragment.length);
}

template <class Tool, class Encoder>
uint32_t CHttpClientT<Tool, Encoder>::_MakeGetUrlLen(const wchar_t* url) const
{
    struct Counter {
        const CHttpClientT* client;
        uint32_t n = 0;
        void put(const wchar_t*, uint32_t count) { n = SafeAdd(n, count); }
        void putEncoded(const wchar_t* text, bool raw)
        {
            put(text, raw ? SafeCount(std::wcslen(text))
                          : Encoder::UrlEncodeLen(text, client->m_bUseUtf8, client->m_nCodePage));
        }
    } counter{this};
    FilterW([&] { emitGetUrl(url, counter); });
    return counter.n;
}

template <class Tool, class Encoder>
wchar_t* CHttpClientT<Tool, Encoder>::MakeGetUrl(const wchar_t* url, wchar_t* buff) const
{
    if (!buff)
        ThrowMessageW(L"CHttpClientT::MakeGetUrl: szBuff can not be NULL.");
    struct Writer {
        const CHttpClientT* client;
        wchar_t* out;
        void put(const wchar_t* text, uint32_t count)
        {
            std::wmemcpy(out, text, count);
            out += count;
        }
        void putEncoded(const wchar_t* text, bool raw)
        {
            if (raw) {
                put(text, SafeCount(std::wcslen(text)));
                return;
            }
            Encoder::UrlEncodeW(text, out, client->m_bUseUtf8, client->m_nCodePage);
            out += std::wcslen(out);
        }
    } writer{this, buff};
    FilterW([&] { emitGetUrl(url, writer); });
    *writer.out = L'\0';
    return buff;
}

template <class Tool, class Encoder>
InternetHandle CHttpClientT<Tool, Encoder>::OpenConnection(const wchar_t* url, HINTERNET internet) const
{
    if (!internet)
        ThrowMessageW(L"CHttpClientT::OpenConnection: hInternet can not be NULL.");
    return FilterW([&] {
        CHttpUrlAnalyzerT<wchar_t> parts;
        parts.Analyze(url, m_nCodePage);
        const bool https = parts.scheme.length == 5 && _wcsnicmp(url, L"https", 5) == 0;
        INTERNET_PORT port = https ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
        if (parts.port.length > 0) {
            // Decimal digits only, at most five of them, at most 65535.
            if (parts.port.length > 5)
                ThrowErrorW(HttpErrorInvalidPort);
            uint32_t number = 0;
            for (uint32_t i = 0; i < parts.port.length; ++i) {
                const wchar_t c = url[parts.port.offset + i];
                if (c < L'0' || c > L'9')
                    ThrowErrorW(HttpErrorInvalidPort);
                number = number * 10 + static_cast<uint32_t>(c - L'0');
            }
            if (number > 65535)
                ThrowErrorW(HttpErrorInvalidPort);
            port = static_cast<INTERNET_PORT>(number);
        }
        if (parts.host.length == 0)
            ThrowErrorW(HttpErrorInvalidUrl);
        const std::wstring host(url + parts.host.offset, parts.host.length);
        InternetHandle connection = Tool::OpenConnection(internet, host.c_str(), port);
        ApplyProxyAccount(connection);
        return connection;
    });
}

template <class Tool, class Encoder>
void CHttpClientT<Tool, Encoder>::ApplyProxyAccount(HINTERNET connection) const
{
    if (!connection)
        ThrowMessageW(L"CHttpClientT::ApplyProxyAccount: hConnection can not be NULL.");
    if (!m_szProxyUserName || !*m_szProxyUserName || !m_szProxyPassword || !*m_szProxyPassword)
        return;
    const auto set = [&](DWORD option, const wchar_t* text) {
        if (!InternetSetOptionW(connection, option, const_cast<wchar_t*>(text), static_cast<DWORD>(std::wcslen(text))))
            ThrowWin32ErrorW(nullptr, HttpErrorSetOption, GetLastError());
    };
    set(INTERNET_OPTION_PROXY_USERNAME, m_szProxyUserName);
    set(INTERNET_OPTION_PROXY_PASSWORD, m_szProxyPassword);
}

template <class Tool, class Encoder>
InternetHandle CHttpClientT<Tool, Encoder>::OpenRequest(const wchar_t* url, HINTERNET connection,
                                                        const wchar_t* verb, DWORD flags) const
{
    if (!connection)
        ThrowMessageW(L"CHttpClientT::OpenRequest: hConnection can not be NULL.");
    return FilterW([&] {
        CHttpUrlAnalyzerT<wchar_t> parts;
        parts.Analyze(url, m_nCodePage);
        if (parts.scheme.length == 5 && _wcsnicmp(url, L"https", 5) == 0)
            flags |= INTERNET_FLAG_SECURE;
        // The rest of the URL from its path on; "/" stands in for a missing path.
        std::wstring objectName = url ? url + parts.path.offset : L"";
        if (parts.path.length == 0)
            objectName.insert(0, L"/");
        // Redirects are the client's to follow (followRedirects), so that a
        // loop ends.
        InternetHandle request =
            Tool::OpenRequest(connection, objectName.c_str(), verb, flags | INTERNET_FLAG_NO_AUTO_REDIRECT, m_nCodePage);
        // Wine takes the limits only from the request itself.
        Tool::SetTimeLimits(request, m_nTimeLimit);
        // Before every stored header, so that it leads them on the wire.
        if (flags & INTERNET_FLAG_PRAGMA_NOCACHE)
            Tool::AddHeader(request, L"Cache-Control", L"no-cache", m_nCodePage);
        return request;
    });
}

template <class Tool, class Encoder>
void CHttpClientT<Tool, Encoder>::AddRequestHeader(HINTERNET request) const
{
    if (!request)
        ThrowMessageW(L"CHttpClientT::AddRequestHeader: hRequest can not be NULL.");
    for (const auto& header : m_mapHeader)
        Tool::AddHeader(request, header.first.get(), header.second.value.get(), m_nCodePage);
}

template <class Tool, class Encoder>
InternetHandle CHttpClientT<Tool, Encoder>::openInternet() const
{
    InternetHandle internet(InternetOpenW(agent(), m_dwAccessType, m_szProxy, m_szProxyBypass, m_dwOpenFlags));
    if (!internet.isValid())
        ThrowWin32ErrorW(nullptr, HttpErrorInternetOpen, GetLastError());
    // Windows hands them down to the connection and its requests.
    Tool::SetTimeLimits(internet, m_nTimeLimit);
    return internet;
}

template <class Tool, class Encoder>
bool CHttpClientT<Tool, Encoder>::Cancel()
{
    std::shared_ptr<CancelPoint> current;
    {
        std::lock_guard<std::mutex> lock(m_cancelLock);
        if (m_bCancelled)
            return false;
        m_bCancelled = true;
        current = m_currentRequest.lock();
    }
    if (current)
        current->Cancel();
    return true;
}

template <class Tool, class Encoder>
std::shared_ptr<CancelPoint> CHttpClientT<Tool, Encoder>::startRequest(HttpClientErrorCode code)
{
    auto point = std::make_shared<CancelPoint>();
    std::lock_guard<std::mutex> lock(m_cancelLock);
    if (m_bCancelled)
        ThrowWin32ErrorW(nullptr, code, ERROR_INTERNET_OPERATION_CANCELLED);
    m_currentRequest = point;
    return point;
}

template <class Tool, class Encoder>
typename CHttpClientT<Tool, Encoder>::ResponsePtr CHttpClientT<Tool, Encoder>::sendGet(const wchar_t* url,
                                                                                       DWORD flags)
{
    // Until the point holds them, the locals close in reverse order of their
    // making: the request, the connection, then the internet handle.
    InternetHandle internet = openInternet();
    InternetHandle connection = OpenConnection(url, internet);
    const std::shared_ptr<CancelPoint> point = startRequest(HttpErrorSendRequest);
    InternetHandle request = OpenRequest(url, connection, L"GET", flags);
    point->Hold(std::move(internet), std::move(connection), std::move(request));
    auto response = std::make_unique<Response>(point);
    point->Run(HttpErrorSendRequest, [&](HINTERNET request) {
        AddRequestHeader(request);
        Tool::SendRequest(request, m_nCodePage);
    });
    point->Answered();
    return response;
}

template <class Tool, class Encoder>
typename CHttpClientT<Tool, Encoder>::ResponsePtr CHttpClientT<Tool, Encoder>::followRedirects(ResponsePtr response,
                                                                                               DWORD flags,
                                                                                               bool afterPost)
{
    for (unsigned followed = 0;; ++followed) {
        const DWORD status = response->GetStatus();
        const bool toGet = status == HTTP_STATUS_MOVED || status == HTTP_STATUS_REDIRECT ||
                           status == HTTP_STATUS_REDIRECT_METHOD;
        const bool sameVerb = status == HTTP_STATUS_REDIRECT_KEEP_VERB || status == HTTP_STATUS_PERMANENT_REDIRECT;
        if (!toGet && !(sameVerb && !afterPost))
            return response;
        const std::wstring target = response->RedirectAddress();
        // Without a place to go the answer is what it says.
        if (target.empty())
            return response;
        const bool web = _wcsnicmp(target.c_str(), L"http://", 7) == 0 || _wcsnicmp(target.c_str(), L"https://", 8) == 0;
        if (followed == kMaxRedirects || !web)
            ThrowWin32ErrorW(nullptr, HttpErrorSendRequest, ERROR_HTTP_REDIRECT_FAILED);
        response.reset();
        response = sendGet(target.c_str(), flags);
        afterPost = false;
    }
}

template <class Tool, class Encoder>
typename CHttpClientT<Tool, Encoder>::ResponsePtr CHttpClientT<Tool, Encoder>::RequestGet(const wchar_t* url,
                                                                                          DWORD flags)
{
    _AbandonPostContext();
    return FilterAllW([&] {
        WideText getUrl;
        if (m_mapParam.Count() > 0) {
            getUrl = std::make_unique<wchar_t[]>(SafeAdd(_MakeGetUrlLen(url), 1));
            MakeGetUrl(url, getUrl.get());
        }
        ResponsePtr response = sendGet(getUrl ? getUrl.get() : url, flags);
        getUrl.reset();
        return followRedirects(std::move(response), flags, false);
    });
}

template <class Tool, class Encoder>
std::shared_ptr<CancelPoint> CHttpClientT<Tool, Encoder>::_ReleasePostContext()
{
    if (!postActive())
        ThrowMessageW(L"CHttpClientT::_ReleasePostResponse: The post context is not active.");
    std::shared_ptr<CancelPoint> request = std::move(m_ctx.request);
    m_ctx.files.clear();
    m_ctx.mimeTypes.clear();
    m_ctx.fileSizes.clear();
    m_ctx.data.reset();
    m_ctx.readBuffer.reset();
    m_statLive.Clear();
    return request;
}

template <class Tool, class Encoder>
void CHttpClientT<Tool, Encoder>::_AbandonPostContext()
{
    if (!postActive())
        return;
    // Nothing has answered yet: the handles close here and now, and the
    // connection that owes the server the rest of the body is not reused.
    _ReleasePostContext()->Close();
}

using CHttpClient = CHttpClientT<CHttpToolW, CHttpEncoderW>;
using CHttpResponse = CHttpResponseT<CHttpToolW>;
using CHttpPostStat = CHttpPostStatT<CHttpToolW>;

}  // namespace Tesmo
