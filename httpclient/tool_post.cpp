// The POST side of CHttpToolW: only a program that sends a body links it.

#include "httpclient/tool.h"

#include "httpclient/tool_checks.h"
#include "httpclient/write_all.h"

namespace Tesmo {

void CHttpToolW::SendRequestEx(HINTERNET request, DWORD total)
{
    CheckNotNull(request, "CHttpToolW::SendRequestEx: hRequest can not be NULL.");
    INTERNET_BUFFERSW buffers = {};
    buffers.dwStructSize = sizeof buffers;
    buffers.dwBufferTotal = total;
    if (!HttpSendRequestExW(request, &buffers, nullptr, 0, 0))
        ThrowWin32ErrorW(nullptr, HttpErrorSendRequestEx, GetLastError());
}

void CHttpToolW::InternetWriteFile(HINTERNET request, const void* bytes, DWORD count)
{
    CheckNotNull(request, "CHttpToolW::InternetWriteFile: hRequest can not be NULL.");
    CheckNotNull(bytes, "CHttpToolW::InternetWriteFile: pbyBuff can not be NULL.");
    if (count == 0)
        ThrowAnsiMessageW("CHttpToolW::InternetWriteFile: cbyBuff can not be zero.", HttpErrorNotSpecified, 0);
    WriteAll([request](const BYTE* p, DWORD n, DWORD* written) { return ::InternetWriteFile(request, p, n, written); },
             static_cast<const BYTE*>(bytes), count);
}

void CHttpToolW::EndRequest(HINTERNET request)
{
    CheckNotNull(request, "CHttpToolW::EndRequest: hRequest can not be NULL.");
    if (!HttpEndRequestW(request, nullptr, 0, 0))
        ThrowWin32ErrorW(nullptr, HttpErrorEndRequest, GetLastError());
}

}  // namespace Tesmo
