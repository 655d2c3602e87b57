#include "kesh/impl/os_names.h"

namespace kesh {
namespace sys {
namespace __ {

namespace {

const char* versionWord(unsigned long platformId, unsigned long major, unsigned long minor)
{
    switch (platformId) {
    case 0: return "32s";
    case 1: return minor < 10 ? "95" : minor < 90 ? "98" : "ME";
    case 2:
        if (major <= 4) return "NT";
        if (major == 5) return minor == 0 ? "2000" : minor == 1 ? "XP" : "Server 2003";
        if (major == 6 && minor == 0) return "Vista";
        if (major == 6 && minor == 1) return "7";
        return "";
    default: return "";
    }
}

}  // namespace

String osName(unsigned long platformId, unsigned long major, unsigned long minor, const String& servicePack)
{
    return String("Windows ") + versionWord(platformId, major, minor) + " " + servicePack;
}

String osVersion(unsigned long major, unsigned long minor, unsigned long buildNumber)
{
    const unsigned build = buildNumber & 0xFFFFu;
    if (build != 0)
        return String::format("v%u.%u.%u", static_cast<unsigned>(major), static_cast<unsigned>(minor), build);
    return String::format("v%u.%u", static_cast<unsigned>(major), static_cast<unsigned>(minor));
}

String osArch(unsigned architecture)
{
    static const char* const kWords[] = {"x86", "mips", "alpha", "ppc", "shx", "arm", "x64", "alpha64", "?", "x64", "x64"};
    return architecture < sizeof kWords / sizeof kWords[0] ? kWords[architecture] : "?";
}

}  // namespace __
}  // namespace sys
}  // namespace kesh
