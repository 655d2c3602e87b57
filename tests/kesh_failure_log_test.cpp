#include "kesh/failure_log.h"

#include "kesh/handles.h"
#include "kesh/logger.h"
#include "kesh/string.h"

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

// The system's text for code as this system words it (Wine's differs from
// Windows'), its line end taken off.
std::string SystemText(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD units = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                           FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const kesh::win::LocalMemory owned(text);
    std::string out = units && text ? kesh::String(text, units).c_str() : "";
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
        out.pop_back();
    return out;
}

struct FailureCase {
    const char* row;
    DWORD lastError;     // the thread's last error before the helper runs
    bool returnedCode;   // the call gave its code (logError), else the last error tells
    DWORD code;          // with returnedCode: the call's code
    const char* call;
    const char* subject;
    const char* expected;  // the line after the tag, up to the system's text
};

const FailureCase kFailures[] = {
    {"the last error, with what the call worked on", ERROR_ACCESS_DENIED, false, 0, "DeleteFileW", "C:\\gone.txt",
     "DeleteFileW failed (C:\\gone.txt): error 5 (0x00000005): "},
    {"the last error alone", ERROR_FILE_NOT_FOUND, false, 0, "OpenClipboard", nullptr,
     "OpenClipboard failed: error 2 (0x00000002): "},
    {"a code the call returned, the last error kept", ERROR_FILE_NOT_FOUND, true, 0x80070005, "IPersistFile::Save",
     "C:\\a.lnk", "IPersistFile::Save failed (C:\\a.lnk): error 2147942405 (0x80070005): "},
    {"no error at all", ERROR_SUCCESS, false, 0, "GdipSaveImageToFile", "GDI+ status 2",
     "GdipSaveImageToFile failed (GDI+ status 2)."},
};

}  // namespace

TEST(FailureLogTest, TheLineNamesTheCallAndTheErrorAndTheCallerStillSeesIt)
{
    const boost::shared_ptr<Lines> lines = boost::make_shared<Lines>();
    kesh::Logger& logger = kesh::getLogger();
    const unsigned flags = logger.getFlags();
    logger.setFlags(0);
    logger.setListener(lines);
    for (const FailureCase& c : kFailures) {
        SCOPED_TRACE(c.row);
        lines->lines.clear();
        SetLastError(c.lastError);
        if (c.returnedCode)
            kesh::logError(c.call, c.code, c.subject);
        else
            kesh::logLastError(c.call, c.subject);
        EXPECT_EQ(c.lastError, GetLastError());
        const DWORD code = c.returnedCode ? c.code : c.lastError;
        const std::string text = code == ERROR_SUCCESS ? "" : SystemText(code);
        ASSERT_EQ(1u, lines->lines.size());
        EXPECT_EQ(std::string("[ERR ] ") + c.expected + text, lines->lines[0]);
    }
    logger.setListener(boost::shared_ptr<kesh::ILogListener>());
    logger.setFlags(flags);
}
