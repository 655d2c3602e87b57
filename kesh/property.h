#pragma once

#include "kesh/string.h"

namespace kesh {
namespace sys {

// Named facts about the program, the system and the user, as text; names
// are matched without regard to letter case:
//   "kesh.version"  "1"
//   "app.uptime"    the program's start time (time style 0, local zone)
//   "app.path"      the program file's full path
//   "app.command"   the whole command line, the program's path first
//   "os.name"       "Windows ", the version word, " ", the service pack
//   "os.arch"       the processor architecture ("x86", "x64", ...)
//   "os.version"    "v6.1.7601", or "v6.1" for build 0
//   "user.name"     the user's logon name
//   "user.home"     the user's documents folder
//   "user.temp"     the temporary folder, without a trailing backslash
// The three user properties are read from the system at every call (empty
// when it cannot tell), the others once. Any other name gives defaultValue.
// Callable from any thread; never fails.
String getProperty(const String& name, const String& defaultValue);

}  // namespace sys
}  // namespace kesh
