#pragma once

// Failed system calls leave a trace: one line each on the process-wide
// logger (kesh/logger.h) at the error level, when that level is on:
//
//   DeleteFileW failed (C:\gone.txt): error 5 (0x00000005): Access denied.
//
// the call's name, what it worked on (when a subject is given), the error
// code in decimal and in hexadecimal (an HRESULT reads best so), and the
// system's text for it in the user's language (when it has one). A code of
// 0 says that the call set none: the line ends after the call and subject.
// Both leave the calling thread's last error as it was on entry, so the
// caller can still read it or hand it on.

namespace kesh {

// For a call that returned its error code (a registry status, an HRESULT).
void logError(const char* call, unsigned long code, const char* subject = nullptr,
              const char* file = __builtin_FILE(), int line = __builtin_LINE());

// For a call that failed with the calling thread's last error. The error is
// read before anything else is done: call this at once after the failing
// call, with texts that exist already (building one first may reset the
// error).
void logLastError(const char* call, const char* subject = nullptr, const char* file = __builtin_FILE(),
                  int line = __builtin_LINE());

}  // namespace kesh
