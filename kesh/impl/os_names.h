#pragma once

// How the system's version and processor numbers are named in the
// properties; pure functions, so every table row can be tested.

#include "kesh/string.h"

namespace kesh {
namespace sys {
namespace __ {

// "Windows " + the version word + " " + servicePack.
String osName(unsigned long platformId, unsigned long major, unsigned long minor, const String& servicePack);
// "v" major "." minor, and "." build when build (low 16 bits) is not 0.
String osVersion(unsigned long major, unsigned long minor, unsigned long buildNumber);
// The word for a processor architecture code, "?" when unknown.
String osArch(unsigned architecture);

}  // namespace __
}  // namespace sys
}  // namespace kesh
