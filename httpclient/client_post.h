#pragma once

// The multipart POST of CHttpClientT, sent step by step. Only the program
// that uploads includes this header.
//
// The body, byte for byte, with B the boundary and the parameters in map
// order:
//   file: "--" B "\r\n" "Content-Disposition: form-data; name=\"" name
//         "\"; filename=\"" file "\"\r\nContent-Type: " mime "\r\n\r\n" bytes "\r\n"
//   text: "--" B "\r\n" "Content-Disposition: form-data; name=\"" name
//         "\"\r\n\r\n" value "\r\n"
//   then "--" B "--\r\n"; without parameters the whole body is "\r\n--" B "--\r\n".
// file is the file's name with its extension, without the folders above it
// (which would tell the server the user's account and folders). Names,
// file names and values are in UTF-8 after SetUseUtf8, else in the code
// page; nothing is URL-encoded. The length is counted before the first byte
// goes out and declared as the Content-Length; the steps never write past it.

#include "httpclient/client.h"

#include <algorithm>
#include <iterator>

namespace Tesmo {

template <class Tool, class Encoder>
uint32_t CHttpClientT<Tool, Encoder>::bodyLength(const wchar_t* text) const
{
    return m_bUseUtf8 ? Encoder::Utf8EncodeLen(text) : Encoder::AnsiEncodeLen(text, m_nCodePage);
}

template <class Tool, class Encoder>
AnsiText CHttpClientT<Tool, Encoder>::bodyText(const wchar_t* text) const
{
    AnsiText bytes = std::make_unique<char[]>(SafeAdd(bodyLength(text), 1));
    if (m_bUseUtf8)
        Encoder::Utf8Encode(text, bytes.get());
    else
        Encoder::AnsiEncode(text, bytes.get(), m_nCodePage);
    return bytes;
}

// The name a file parameter goes by in the body: what follows the last
// folder separator (or drive colon) of its path.
inline const wchar_t* PostedFileName(const wchar_t* path)
{
    if (!path)
        return nullptr;
    const wchar_t* name = path;
    for (const wchar_t* c = path; *c; ++c) {
        if (*c == L'\\' || *c == L'/' || *c == L':')
            name = c + 1;
    }
    return name;
}

// Opens one file parameter into the context's next slot; returns its size (0
// for a file that did not open).
template <class Tool, class Encoder>
uint32_t CHttpClientT<Tool, Encoder>::startFileParam(const wchar_t* path, PostContext& ctx) const
{
    KernelHandle file;
    DWORD openError = 0;
    if (path) {
        file = Tool::OpenFile(path);
        openError = GetLastError();
    }
    if (m_bStrictFile && !file.isValid())
        ThrowWin32ErrorW(path, HttpErrorOpenFile, openError);
    const uint32_t size = file.isValid() ? Tool::GetFileSize(file, path) : 0;
    ctx.mimeTypes.push_back(Tool::GetMimeType(file.isValid() ? file.get() : INVALID_HANDLE_VALUE, m_nCodePage));
    ctx.files.push_back(std::move(file));
    ctx.fileSizes.push_back(size);
    return size;
}

// The declared length and the bytes the steps write both come from these
// walks, so they cannot disagree.
template <class Tool, class Encoder>
template <class Put>
void CHttpClientT<Tool, Encoder>::emitPartHeader(const wchar_t* name, const wchar_t* path, const char* mimeType,
                                                 Put&& put) const
{
    put("--");
    put(boundaryA());
    put("\r\n");
    put("Content-Disposition: form-data; name=\"");
    put(name);
    if (!mimeType) {
        put("\"\r\n\r\n");
        return;
    }
    put("\"; filename=\"");
    put(PostedFileName(path));
    put("\"\r\nContent-Type: ");
    put(mimeType);
    put("\r\n\r\n");
}

template <class Tool, class Encoder>
template <class Put>
void CHttpClientT<Tool, Encoder>::emitBodyEnd(bool withParams, Put&& put) const
{
    put(withParams ? "--" : "\r\n--");
    put(boundaryA());
    put("--\r\n");
}

template <class Tool, class Encoder>
void CHttpClientT<Tool, Encoder>::StartMultipartPost(const wchar_t* url, DWORD flags)
{
    _AbandonPostContext();
    // The files and handles live in locals until the request is under way:
    // whatever fails on the way closes them.
    FilterW([&] {
        PostContext ctx;
        uint32_t bodyTotal = 0;
        const auto count = [&](auto piece) { bodyTotal = SafeAdd(bodyTotal, bodyLength(piece)); };
        uint32_t dataTotal = 0;
        uint32_t fileCount = 0;
        struct {
            const wchar_t* name = nullptr;
            const wchar_t* path = nullptr;
            uint32_t size = 0;
            bool isFile = false;
        } first;
        for (const auto& param : m_mapParam)
            fileCount += (param.second.flags & HttpParamFile) ? 1 : 0;
        ctx.files.reserve(fileCount);
        for (const auto& param : m_mapParam) {
            const wchar_t* name = param.first.get();
            const wchar_t* value = param.second.value.get();
            const bool isFile = (param.second.flags & HttpParamFile) != 0;
            const uint32_t size = isFile ? startFileParam(value, ctx) : bodyLength(value);
            emitPartHeader(name, value, isFile ? ctx.mimeTypes.back().get() : nullptr, count);
            bodyTotal = SafeAdd(bodyTotal, size);
            emitPartEnd(count);
            dataTotal = SafeAdd(dataTotal, size);
            if (!first.name)
                first = {name, isFile ? value : nullptr, size, isFile};
        }
        emitBodyEnd(m_mapParam.Count() > 0, count);

        // Until the point holds them, the locals close in reverse order of
        // their making: the request, the connection, then the internet handle.
        InternetHandle internet = openInternet();
        InternetHandle connection = OpenConnection(url, internet);
        const std::shared_ptr<CancelPoint> point = startRequest(HttpErrorSendRequestEx);
        InternetHandle request = OpenRequest(url, connection, L"POST", flags);
        point->Hold(std::move(internet), std::move(connection), std::move(request));
        point->Run(HttpErrorSendRequestEx, [&](HINTERNET request) {
            AddRequestHeader(request);
            Tool::AddHeader(request, L"Content-Type", contentType(), m_nCodePage);
            Tool::SendRequestEx(request, bodyTotal);
        });

        m_statLive.Clear();
        m_statLive.m_nActualTotalByte = bodyTotal;
        m_statLive.m_nTotalByte = dataTotal;
        m_statLive.m_nTotalCount = m_mapParam.Count();
        m_statLive.m_nFileCount = fileCount;
        m_statLive.m_bActive = TRUE;
        m_ctx.files = std::move(ctx.files);
        m_ctx.mimeTypes = std::move(ctx.mimeTypes);
        m_ctx.fileSizes = std::move(ctx.fileSizes);
        m_ctx.data.reset();
        m_ctx.postKind = 0;
        m_ctx.flags = flags;
        m_ctx.request = point;
        if (m_statLive.m_nTotalCount > 0) {
            m_statInitial = m_statLive;
            m_statInitial._StartNewEntry(first.isFile, first.name, first.size, first.path);
        }
    });
}

template <class Tool, class Encoder>
typename CHttpClientT<Tool, Encoder>::ResponsePtr CHttpClientT<Tool, Encoder>::PostNextChunk()
{
    if (m_ctx.postKind == 0)
        return _ProceedUploadContext();
    // The url-encoded kind of POST, which nothing starts.
    ThrowErrorW(HttpErrorPostNotStarted);
}

template <class Tool, class Encoder>
const typename CHttpClientT<Tool, Encoder>::PostStat& CHttpClientT<Tool, Encoder>::GetPostStat() const
{
    if (postActive() && m_statLive.m_nTotalCount > 0 && m_statLive.m_nPostedCount == 0)
        return m_statInitial;
    return m_statLive;
}

template <class Tool, class Encoder>
typename CHttpClientT<Tool, Encoder>::ResponsePtr CHttpClientT<Tool, Encoder>::_ProceedUploadContext()
{
    if (!postActive())
        ThrowErrorW(HttpErrorPostNotStarted);
    try {
        return FilterW([&]() -> ResponsePtr {
            // After a cancel no step starts (each goes through the request's
            // Run): the server gets at most the one that was under way.
            if (!m_ctx.request)
                ThrowMessageW(L"CHttpClientT::_ProceedUploadContext: m_hRequest can not be NULL.");
            PostStat& stat = m_statLive;
            if (stat.m_nActualPostedByte >= stat.m_nActualTotalByte) {
                // The server is still taking what the system holds of the
                // body: its answer gets the longer wait, its content the
                // usual one.
                const DWORD answerLimit = PostAnswerTimeLimit(m_nTimeLimit, stat.m_nActualTotalByte);
                m_ctx.request->Run(HttpErrorEndRequest, [&](HINTERNET request) {
                    if (!request)
                        ThrowMessageW(L"CHttpClientT::_ProceedUploadContext: m_hRequest can not be NULL.");
                    Tool::SetReceiveTimeLimit(request, answerLimit);
                    Tool::EndRequest(request);
                    Tool::SetReceiveTimeLimit(request, m_nTimeLimit);
                });
                m_ctx.request->Answered();
                const DWORD flags = m_ctx.flags;
                return followRedirects(_ReleasePostResponse(), flags, true);
            }
            const auto write = [this](auto piece) { _WritePost(piece); };
            if (stat.m_nTotalCount == 0) {
                emitBodyEnd(false, write);
                return nullptr;
            }
            if (stat.m_nCurrParamSize != stat.m_nCurrParamPostedByte) {
                writeChunk(std::min<uint32_t>(stat.m_nCurrParamSize - stat.m_nCurrParamPostedByte, 4096));
                if (stat.m_nCurrParamSize == stat.m_nCurrParamPostedByte)
                    emitPartEnd(write);
                return nullptr;
            }
            if (stat.m_nPostedCount < stat.m_nTotalCount) {
                const auto param = std::next(m_mapParam.begin(), stat.m_nPostedCount);
                const wchar_t* name = param->first.get();
                const wchar_t* value = param->second.value.get();
                const bool isFile = (param->second.flags & HttpParamFile) != 0;
                uint32_t size = 0;
                if (isFile) {
                    size = m_ctx.fileSizes.at(stat.m_nPostedFileCount);
                    emitPartHeader(name, value, m_ctx.mimeTypes.at(stat.m_nPostedFileCount).get(), write);
                } else {
                    m_ctx.data.reset();
                    if (value && *value) {
                        m_ctx.data = bodyText(value);
                        size = SafeCount(std::strlen(m_ctx.data.get()));
                    }
                    emitPartHeader(name, nullptr, nullptr, write);
                }
                stat._StartNewEntry(isFile, name, size, isFile ? value : nullptr);
                if (size == 0)
                    emitPartEnd(write);
                return nullptr;
            }
            emitBodyEnd(true, write);
            return nullptr;
        });
    } catch (...) {
        _AbandonPostContext();
        throw;
    }
}

// The next n data bytes of the current parameter.
template <class Tool, class Encoder>
void CHttpClientT<Tool, Encoder>::writeChunk(uint32_t n)
{
    PostStat& stat = m_statLive;
    if (stat.CurrParamIsFile()) {
        const DWORD kReadBufferSize = 0xE000;
        if (!m_ctx.readBuffer)
            m_ctx.readBuffer = std::make_unique<BYTE[]>(kReadBufferSize);
        const HANDLE file = m_ctx.files.at(stat.m_nPostedFileCount - 1);
        while (n > 0) {
            const DWORD piece = std::min<DWORD>(n, kReadBufferSize);
            DWORD read = 0;
            if (!ReadFile(file, m_ctx.readBuffer.get(), piece, &read, nullptr))
                ThrowWin32ErrorW(nullptr, HttpErrorReadFile, GetLastError());
            // A file that shrank since the start: the declared length can no
            // longer be kept.
            if (read < piece)
                ThrowWin32ErrorW(nullptr, HttpErrorFileReadShort, ERROR_HANDLE_EOF);
            _WritePost(m_ctx.readBuffer.get(), read, true);
            n -= read;
        }
    } else {
        _WritePost(m_ctx.data.get() + stat.m_nCurrParamPostedByte, n, true);
    }
}

template <class Tool, class Encoder>
void CHttpClientT<Tool, Encoder>::_WritePost(const void* bytes, uint32_t count, bool isData)
{
    if (!m_ctx.request)
        ThrowMessageW(L"CHttpClientT::_WritePost: m_hRequest can not be NULL.");
    if (!bytes || count == 0)
        return;
    PostStat& stat = m_statLive;
    if (isData)
        stat._TestAddPostedBytes(count);
    else
        stat._TestAddActualPostedBytes(count);
    // Never past the declared length: WinINet would wait for a body that
    // cannot end where the server expects it.
    if (stat.m_nActualPostedByte + count > stat.m_nActualTotalByte)
        ThrowErrorW(HttpErrorArithmetic);
    m_ctx.request->Run(HttpErrorInternetWriteFile, [&](HINTERNET request) {
        if (!request)
            ThrowMessageW(L"CHttpClientT::_WritePost: m_hRequest can not be NULL.");
        Tool::InternetWriteFile(request, bytes, count);
    });
    if (isData) {
        stat.m_nPostedByte += count;
        stat.m_nCurrParamPostedByte += count;
    }
    stat.m_nActualPostedByte += count;
}

template <class Tool, class Encoder>
void CHttpClientT<Tool, Encoder>::_WritePost(const wchar_t* text)
{
    if (!text || !*text)
        return;
    const AnsiText bytes = FilterW([&] { return bodyText(text); });
    _WritePost(bytes.get(), FilterW([&] { return SafeCount(std::strlen(bytes.get())); }), false);
}

template <class Tool, class Encoder>
typename CHttpClientT<Tool, Encoder>::ResponsePtr CHttpClientT<Tool, Encoder>::_ReleasePostResponse()
{
    if (!postActive())
        ThrowMessageW(L"CHttpClientT::_ReleasePostResponse: The post context is not active.");
    std::shared_ptr<CancelPoint> request = _ReleasePostContext();
    return FilterW([&] { return std::make_unique<Response>(std::move(request)); });
}

}  // namespace Tesmo
