#include "kesh/failure_log.h"

#include "kesh/file.h"
#include "kesh/registry.h"
#include "kesh/string.h"
#include "tests/log_lines.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace {

TEST(FailureLogTest, TheLineNamesTheCallAndTheErrorAndTheCallerStillSeesIt)
{
    const struct {
        DWORD lastError;       // the thread's last error before the helper runs
        bool returnedCode;     // the call gave its own code, E_ACCESSDENIED
        const char* subject;
        const char* expected;  // how the line begins after its tag
    } cases[] = {
        {ERROR_ACCESS_DENIED, false, "C:\\gone.txt", "DeleteFileW failed (C:\\gone.txt): error 5 (0x00000005): "},
        {ERROR_FILE_NOT_FOUND, true, nullptr, "DeleteFileW failed: error 2147942405 (0x80070005): "},
        {ERROR_SUCCESS, false, "GDI+ status 2", "DeleteFileW failed (GDI+ status 2)."},
    };
    testsupport::LogLines log;
    for (const auto& c : cases) {
        log.lines.clear();
        SetLastError(c.lastError);
        if (c.returnedCode)
            kesh::logError("DeleteFileW", 0x80070005, c.subject);
        else
            kesh::logLastError("DeleteFileW", c.subject);
        EXPECT_EQ(c.lastError, GetLastError()) << c.expected;
        ASSERT_EQ(1u, log.lines.size()) << c.expected;
        EXPECT_EQ(0u, log.lines[0].rfind(std::string("[ERR ] ") + c.expected, 0)) << log.lines[0];
    }
}

// The library's own calls whose failure would leave no trace of its cause
// write their line themselves, once, whoever calls them.
TEST(FailureLogTest, FailedSettingsRemovalsAndFoldersLeaveOneLineEach)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const kesh::String folder = kesh::String(temp) + kesh::String::format("failure-log.%lu", GetCurrentProcessId());
    const kesh::String file = folder + "\\read-only.txt", missing = folder + "\\missing.txt";
    ASSERT_TRUE(kesh::fs::createDirectory(folder, false));
    CloseHandle(CreateFileW(file.toWide().get(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_READONLY,
                            nullptr));
    // A key of a name too long for the system is never opened.
    const auto key = kesh::app::openRegistryKey("Software\\NorpaTest\\" + kesh::String(std::string(300, 'k').c_str()),
                                                false);
    const struct {
        const char* what;
        std::function<bool()> call;
        std::string line;  // how the one line begins; "" for none
    } cases[] = {
        {"setValue", [&] { return key->setValue("n", 1); }, "[ERR ] IRegistryKey::setValue failed (n): error "},
        {"remove", [&] { return kesh::fs::remove(file); },
         std::string("[ERR ] kesh::fs::remove failed (") + file.c_str() + "): error 5 "},
        {"remove nothing", [&] { return kesh::fs::remove(missing); }, ""},
        {"createDirectory", [&] { return kesh::fs::createDirectory(file + "\\a\\b", true); },
         std::string("[ERR ] kesh::fs::createDirectory failed (") + file.c_str() + "\\a): error "},
    };
    testsupport::LogLines log;
    for (const auto& c : cases) {
        log.lines.clear();
        EXPECT_FALSE(c.call()) << c.what;
        ASSERT_EQ(c.line.empty() ? 0u : 1u, log.lines.size()) << c.what;
        if (!c.line.empty()) {
            EXPECT_EQ(0u, log.lines[0].rfind(c.line, 0)) << log.lines[0];
        }
    }
    SetFileAttributesW(file.toWide().get(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(file.toWide().get());
    RemoveDirectoryW(folder.toWide().get());
}

}  // namespace
