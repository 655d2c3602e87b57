#include "kesh/failure_log.h"

#include "kesh/logger.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <windows.h>

#include <string>
#include <vector>

namespace {

class Lines : public kesh::ILogListener {
public:
    void onLine(const char* line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

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
    const boost::shared_ptr<Lines> lines = boost::make_shared<Lines>();
    kesh::Logger& logger = kesh::getLogger();
    const unsigned flags = logger.getFlags();
    logger.setFlags(0);
    logger.setListener(lines);
    for (const auto& c : cases) {
        lines->lines.clear();
        SetLastError(c.lastError);
        if (c.returnedCode)
            kesh::logError("DeleteFileW", 0x80070005, c.subject);
        else
            kesh::logLastError("DeleteFileW", c.subject);
        EXPECT_EQ(c.lastError, GetLastError()) << c.expected;
        ASSERT_EQ(1u, lines->lines.size()) << c.expected;
        EXPECT_EQ(0u, lines->lines[0].rfind(std::string("[ERR ] ") + c.expected, 0)) << lines->lines[0];
    }
    logger.setListener(boost::shared_ptr<kesh::ILogListener>());
    logger.setFlags(flags);
}

}  // namespace
