// File parameters of CHttpToolW: only a program that posts files links it.

#include "httpclient/tool.h"

#include "httpclient/tool_checks.h"

#include <urlmon.h>

#include <cstring>

namespace Tesmo {

KernelHandle CHttpToolW::OpenFile(const wchar_t* filePath)
{
    CheckNotNull(filePath, "CHttpToolW::OpenFile: szFilePath can not be NULL.");
    // Sharing deletion too: a file its owner holds for removal (opened to
    // be deleted when closed) opens only so.
    return KernelHandle(CreateFileW(filePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr));
}

uint32_t CHttpToolW::GetFileSize(HANDLE file, const wchar_t* filePath)
{
    CheckNotNull(file, "CHttpToolW::GetFileSize: hFile can not be NULL.");
    CheckNotNull(filePath, "CHttpToolW::GetFileSize: szFilePath can not be NULL.");
    // The whole 64-bit size: a 32-bit read would send a file of 4 GiB or more
    // cut to its low bits.
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size))
        ThrowWin32ErrorW(filePath, HttpErrorGetFileSize, GetLastError());
    if (size.QuadPart > static_cast<LONGLONG>(UINT32_MAX))
        ThrowWin32ErrorW(nullptr, HttpErrorOverflow, ERROR_FILE_TOO_LARGE);
    return static_cast<uint32_t>(size.QuadPart);
}

AnsiText CHttpToolW::GetMimeType(HANDLE file, UINT codePage)
{
    CheckNotNull(file, "CHttpToolW::GetMimeType: hFile can not be NULL.");
    CheckAnsiCodePage(codePage, "CHttpToolW::GetMimeType");
    if (file != INVALID_HANDLE_VALUE) {
        BYTE head[256];
        DWORD read = 0;
        if (!ReadFile(file, head, sizeof head, &read, nullptr))
            ThrowWin32ErrorW(nullptr, HttpErrorReadFile, GetLastError());
        if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
            ThrowWin32ErrorW(nullptr, HttpErrorSetFilePointer, GetLastError());
        wchar_t* found = nullptr;
        if (SUCCEEDED(FindMimeFromData(nullptr, nullptr, head, read, nullptr, 0, &found, 0)) && found) {
            const kesh::win::CoTaskMemory<wchar_t> owned(found);
            return Unicode2Ansi(owned.get(), codePage);
        }
    }
    static const char kDefault[] = "application/octet-stream";
    return FilterW([] {
        AnsiText copy = std::make_unique<char[]>(sizeof kDefault);
        std::memcpy(copy.get(), kDefault, sizeof kDefault);
        return copy;
    });
}

}  // namespace Tesmo
