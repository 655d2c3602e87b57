#pragma once

// Texts read from the system for the properties, each through the system
// call given, so that tests can stand in for a call that fails or truncates.

#include "kesh/string.h"

#include <windows.h>

namespace kesh {
namespace sys {
namespace __ {

typedef DWORD(WINAPI* ModuleFileNameCall)(HMODULE, LPWSTR, DWORD);
typedef BOOL(WINAPI* UserNameCall)(LPWSTR, LPDWORD);
typedef DWORD(WINAPI* TempPathCall)(DWORD, LPWSTR);

// The running program's file name, read into ever larger buffers until it
// fits; empty when none can be read.
String moduleFileName(ModuleFileNameCall call = &GetModuleFileNameW);
// The user's logon name; empty when the call fails.
String userName(UserNameCall call = &GetUserNameW);
// The temporary folder as the system gives it (trailing backslash
// included); empty when the call fails.
String tempPath(TempPathCall call = &GetTempPathW);

}  // namespace __
}  // namespace sys
}  // namespace kesh
