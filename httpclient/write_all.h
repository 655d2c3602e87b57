#pragma once

// Writing a whole buffer through a call that may write only part of it.

#include "httpclient/exceptions.h"

#include <windows.h>
#include <wininet.h>

namespace Tesmo {

// Calls write(bytes, count, &written) -> BOOL from the first unwritten byte
// until all count bytes are written. A failed call throws 408 with its error.
// A call that succeeds without writing anything (or claims more than it was
// given) throws 408 as an aborted connection: looping on it would never end.
template <class Write>
void WriteAll(Write&& write, const BYTE* bytes, DWORD count)
{
    while (count > 0) {
        DWORD written = 0;
        if (!write(bytes, count, &written))
            ThrowWin32ErrorW(nullptr, HttpErrorInternetWriteFile, GetLastError());
        if (written == 0 || written > count)
            ThrowWin32ErrorW(nullptr, HttpErrorInternetWriteFile, ERROR_INTERNET_CONNECTION_ABORTED);
        bytes += written;
        count -= written;
    }
}

}  // namespace Tesmo
