#include "kesh/property.h"

#include "kesh/impl/os_names.h"
#include "kesh/impl/system_texts.h"
#include "kesh/path.h"
#include "kesh/time.h"
#include "tests/wait.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <string>

using kesh::String;
using kesh::Time;
using kesh::sys::getProperty;
namespace props = kesh::sys::__;

namespace {

String property(const char* name)
{
    return getProperty(name, "<unset>");
}

OSVERSIONINFOW systemVersion()
{
    OSVERSIONINFOW info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&info);
#pragma GCC diagnostic pop
    return info;
}

}  // namespace

struct OsNameCase {
    unsigned long platform, major, minor;
    const char* servicePack;
    const char* expected;
};

TEST(OsNamesTest, VersionWordsByPlatformAndNumbers)
{
    const OsNameCase cases[] = {
        {0, 3, 1, "", "Windows 32s "},
        {1, 4, 0, "", "Windows 95 "},
        {1, 4, 9, "", "Windows 95 "},
        {1, 4, 10, "", "Windows 98 "},
        {1, 4, 89, "", "Windows 98 "},
        {1, 4, 90, "", "Windows ME "},
        {2, 3, 51, "", "Windows NT "},
        {2, 4, 0, "Service Pack 6", "Windows NT Service Pack 6"},
        {2, 5, 0, "", "Windows 2000 "},
        {2, 5, 1, "Service Pack 3", "Windows XP Service Pack 3"},
        {2, 5, 2, "", "Windows Server 2003 "},
        {2, 5, 7, "", "Windows Server 2003 "},
        {2, 6, 0, "", "Windows Vista "},
        {2, 6, 1, "Service Pack 1", "Windows 7 Service Pack 1"},
        {2, 6, 2, "", "Windows  "},
        {2, 6, 3, "", "Windows  "},
        {2, 10, 0, "", "Windows  "},
        {3, 6, 1, "", "Windows  "},
    };
    for (const OsNameCase& c : cases)
        EXPECT_STREQ(c.expected, props::osName(c.platform, c.major, c.minor, c.servicePack).c_str())
            << c.platform << " " << c.major << "." << c.minor;
}

TEST(OsNamesTest, VersionNumbersDropABuildOfZero)
{
    EXPECT_STREQ("v6.1.7601", props::osVersion(6, 1, 7601).c_str());
    EXPECT_STREQ("v6.2", props::osVersion(6, 2, 0).c_str());
    EXPECT_STREQ("v10.0.19045", props::osVersion(10, 0, 19045).c_str());
    // Only the low 16 bits are the build (Windows 9x packs more above them).
    EXPECT_STREQ("v4.10.2222", props::osVersion(4, 10, 0x040A08AE).c_str());
    EXPECT_STREQ("v4.90", props::osVersion(4, 90, 0x045A0000).c_str());
}

TEST(OsNamesTest, ArchitectureWords)
{
    const char* const expected[] = {"x86", "mips", "alpha", "ppc", "shx", "arm", "x64", "alpha64", "?", "x64", "x64", "?", "?"};
    for (unsigned code = 0; code < sizeof expected / sizeof expected[0]; ++code)
        EXPECT_STREQ(expected[code], props::osArch(code).c_str()) << code;
    EXPECT_STREQ("?", props::osArch(0xFFFF).c_str());
}

TEST(PropertyTest, NamesIgnoreCaseAndUnknownNamesGiveTheDefault)
{
    EXPECT_STREQ("1", property("kesh.version").c_str());
    EXPECT_STREQ("1", property("KESH.VERSION").c_str());
    EXPECT_STREQ(property("os.name").c_str(), property("OS.Name").c_str());
    EXPECT_STREQ(property("app.command").c_str(), property("App.Command").c_str());
    EXPECT_STREQ("<unset>", property("no.such.name").c_str());
    EXPECT_STREQ("", getProperty("no.such.name", "").c_str());
    EXPECT_STREQ("<unset>", property("kesh.version ").c_str());
    EXPECT_STREQ("<unset>", property("").c_str());
}

TEST(PropertyTest, SystemValuesMatchWhatTheSystemSays)
{
    const OSVERSIONINFOW version = systemVersion();
    EXPECT_STREQ(props::osName(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion,
                               String(version.szCSDVersion))
                     .c_str(),
                 property("os.name").c_str());
    EXPECT_STREQ(props::osVersion(version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber).c_str(),
                 property("os.version").c_str());

    SYSTEM_INFO system;
    GetSystemInfo(&system);
    EXPECT_STREQ(props::osArch(system.wProcessorArchitecture).c_str(), property("os.arch").c_str());

    EXPECT_STREQ(String(GetCommandLineW()).c_str(), property("app.command").c_str());

    wchar_t user[256];
    DWORD size = 256;
    ASSERT_TRUE(GetUserNameW(user, &size));
    EXPECT_STREQ(String(user).c_str(), property("user.name").c_str());
}

TEST(PropertyTest, StartTimeNeverChanges)
{
    const String first = property("app.uptime");
    // Read again once the clock shows another time.
    ASSERT_TRUE(testsupport::WaitFor([&] { return Time::now().formatStyle(0, -1).compare(first.c_str()) != 0; },
                                     3000, nullptr));
    EXPECT_STREQ(first.c_str(), property("APP.UPTIME").c_str());
}

TEST(PropertyTest, TempFolderHasNoTrailingBackslash)
{
    const String temp = property("user.temp");
    ASSERT_FALSE(temp.isEmpty());
    EXPECT_NE('\\', temp.c_str()[temp.length() - 1]);
}

namespace {

std::wstring gModuleName;

DWORD WINAPI longModuleName(HMODULE, LPWSTR buffer, DWORD size)
{
    // Truncates like the system: size units written, the last a NUL, and
    // size returned.
    const DWORD length = static_cast<DWORD>(gModuleName.size());
    if (length < size) {
        memcpy(buffer, gModuleName.c_str(), (length + 1) * sizeof(wchar_t));
        return length;
    }
    memcpy(buffer, gModuleName.c_str(), (size - 1) * sizeof(wchar_t));
    buffer[size - 1] = 0;
    return size;
}

DWORD WINAPI noModuleName(HMODULE, LPWSTR, DWORD)
{
    return 0;
}

BOOL WINAPI failingUserName(LPWSTR buffer, LPDWORD size)
{
    // Leaves rubbish behind and reports no useful size.
    for (DWORD i = 0; i < *size; ++i)
        buffer[i] = L'?';
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

int gUserNameCalls = 0;
BOOL WINAPI userNameNeedingMore(LPWSTR buffer, LPDWORD size)
{
    ++gUserNameCalls;
    const std::wstring name(150, L'u');
    if (*size < name.size() + 1) {
        for (DWORD i = 0; i < *size; ++i)
            buffer[i] = L'?';
        *size = static_cast<DWORD>(name.size() + 1);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(buffer, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    *size = static_cast<DWORD>(name.size() + 1);
    return TRUE;
}

BOOL WINAPI alwaysShortUserName(LPWSTR buffer, LPDWORD size)
{
    for (DWORD i = 0; i < *size; ++i)
        buffer[i] = L'?';
    *size += 10;
    return FALSE;
}

DWORD WINAPI failingTempPath(DWORD, LPWSTR)
{
    return 0;
}

DWORD WINAPI growingTempPath(DWORD size, LPWSTR buffer)
{
    // Asked for its size it says 5, then claims more than the buffer holds.
    if (!buffer) return 5;
    for (DWORD i = 0; i < size; ++i)
        buffer[i] = L'?';
    return size + 20;
}

}  // namespace

TEST(SystemTextsTest, ModuleNamesOfAnyLengthAreReadWhole)
{
    for (size_t length : {10u, 255u, 256u, 257u, 300u, 1000u}) {
        gModuleName = L"C:\\" + std::wstring(length - 7, L'd') + L".exe";
        EXPECT_STREQ(String(gModuleName.c_str()).c_str(), props::moduleFileName(&longModuleName).c_str()) << length;
    }
    EXPECT_STREQ("", props::moduleFileName(&noModuleName).c_str());
}

TEST(SystemTextsTest, FailedCallsGiveEmptyTextNeverTheBuffer)
{
    EXPECT_STREQ("", props::userName(&failingUserName).c_str());
    EXPECT_STREQ("", props::userName(&alwaysShortUserName).c_str());
    gUserNameCalls = 0;
    EXPECT_STREQ(std::string(150, 'u').c_str(), props::userName(&userNameNeedingMore).c_str());
    EXPECT_EQ(2, gUserNameCalls);
    EXPECT_STREQ("", props::tempPath(&failingTempPath).c_str());
    EXPECT_STREQ("", props::tempPath(&growingTempPath).c_str());
}

TEST(PropertyTest, FoldersAreTheNormalisedPathsTheSystemGives)
{
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, sizeof buffer / sizeof buffer[0]);
    ASSERT_GT(length, 0u);
    EXPECT_STREQ(kesh::fs::Path(String(buffer, length)).toString().c_str(), property("app.path").c_str());

    wchar_t home[MAX_PATH] = {0};
    if (SHGetSpecialFolderPathW(nullptr, home, CSIDL_PERSONAL, FALSE))
        EXPECT_STREQ(kesh::fs::Path(String(home)).toString().c_str(), property("user.home").c_str());
    else
        EXPECT_STREQ("", property("user.home").c_str());

    wchar_t temp[MAX_PATH + 1];
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
    EXPECT_STREQ(kesh::fs::Path(String(temp)).toString().c_str(), property("user.temp").c_str());
}

TEST(PropertyTest, StartTimeIsAMomentOfThisRunInStyleZero)
{
    const String uptime = property("app.uptime");
    const Time now = Time::now();
    bool found = false;
    for (int back = 0; back <= 600 && !found; ++back)
        found = Time(now.getSeconds() - back).formatStyle(0, -1).compare(uptime.c_str()) == 0;
    EXPECT_TRUE(found) << uptime.c_str();
}
