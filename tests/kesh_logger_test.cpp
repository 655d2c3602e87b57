#include "kesh/logger.h"

#include "kesh/handles.h"
#include "kesh/path.h"
#include "kesh/thread.h"
#include "kesh/time.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

using kesh::ILogListener;
using kesh::Logger;
using kesh::String;
using kesh::Time;

namespace {

// Collects the lines a logger hands to its listener.
class Lines : public ILogListener {
public:
    void onLine(const char* line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

// A listener that tries to log from inside the listener call.
class Echo : public ILogListener {
public:
    explicit Echo(Logger* logger) : logger_(logger) {}
    void onLine(const char* line) override
    {
        lines.push_back(line);
        nestedResult = logger_->write("[DBG3]", nullptr, 0, "nested");
    }
    std::vector<std::string> lines;
    int nestedResult = -1;

private:
    Logger* logger_;
};

// A fixed moment at local noon on a Sunday, so that days can be counted
// from it.
Time sundayNoon()
{
    int seconds = 1796000000;
    const Time::Fields f = Time(seconds).getFields(-1);
    seconds += ((7 - f.weekday) % 7) * 86400 + (12 - f.hour) * 3600 - f.minute * 60 - f.second;
    return Time(seconds, 250);
}

Time daysAfter(const Time& t, int days)
{
    return Time(t.getSeconds() + days * 86400, t.getMilliseconds());
}

std::wstring wide(const String& text)
{
    return std::wstring(text.toWide().get());
}

std::string readFile(const String& path)
{
    std::string content;
    FILE* f = _wfopen(wide(path).c_str(), L"rb");
    if (!f) return "<missing>";
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        content.append(buffer, n);
    fclose(f);
    return content;
}

// A folder of the test's own under the temporary folder, removed with
// everything in it afterwards.
class TempFolder {
public:
    TempFolder()
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = String(temp) + String::format("norpa-logger-%lu-%lu", GetCurrentProcessId(), GetTickCount());
        CreateDirectoryW(wide(path_).c_str(), nullptr);
    }
    ~TempFolder()
    {
        WIN32_FIND_DATAW found;
        const kesh::win::FindHandle search(FindFirstFileW(wide(path_ + "\\*").c_str(), &found));
        if (search.isValid()) {
            do {
                DeleteFileW(wide(path_ + "\\" + String(found.cFileName)).c_str());
            } while (FindNextFileW(search, &found));
        }
        RemoveDirectoryW(wide(path_).c_str());
    }
    String path() const { return path_; }
    String file(const char* name) const { return path_ + "\\" + name; }

private:
    String path_;
};

// Sends standard output to a file while it lives.
class StdoutCapture {
public:
    StdoutCapture() : file_(folder_.file("stdout.txt"))
    {
        std::fflush(stdout);
        saved_ = _dup(1);
        const int fd = _wopen(wide(file_).c_str(), _O_CREAT | _O_TRUNC | _O_WRONLY | _O_BINARY, 0600);
        _dup2(fd, 1);
        _close(fd);
    }
    std::string finish()
    {
        if (saved_ >= 0) {
            std::fflush(stdout);
            _dup2(saved_, 1);
            _close(saved_);
            saved_ = -1;
        }
        return readFile(file_);
    }
    ~StdoutCapture() { finish(); }

private:
    TempFolder folder_;
    String file_;
    int saved_;
};

}  // namespace

TEST(LoggerTest, DefaultsWriteTimeTagAndMessageToStandardOutput)
{
    Logger logger;
    StdoutCapture capture;
    EXPECT_TRUE(logger.write("[ERR ]", "a/file.cpp", 7, "something failed"));
    const std::string out = capture.finish();
    EXPECT_TRUE(std::regex_match(
        out, std::regex("\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3} \\[ERR \\] something failed\n")))
        << out;
}

TEST(LoggerTest, LevelsUpToTheLoggersAreEnabled)
{
    Logger& logger = kesh::getLogger();
    EXPECT_EQ(3u, logger.getLevel());
    EXPECT_TRUE(kesh::isLogLevelEnabled(0));
    EXPECT_TRUE(kesh::isLogLevelEnabled(3));
    EXPECT_FALSE(kesh::isLogLevelEnabled(4));
    logger.setLevel(0);
    EXPECT_TRUE(kesh::isLogLevelEnabled(0));
    EXPECT_FALSE(kesh::isLogLevelEnabled(1));
    logger.setLevel(3);
}

namespace {
struct LayoutCase {
    unsigned flags;
    const char* file;
    int line;
    std::string expectedAfterTime;  // what follows "<time> " (or the whole line without flag 1)
};
}  // namespace

TEST(LoggerTest, LineLayoutFollowsTheFlags)
{
    const Time moment = sundayNoon();
    const std::string timeText = moment.format("yyyy/MM/dd hh:mm:ss.uuu", -1).c_str();
    const std::string tid = String::format("tid:0x%08x ", static_cast<unsigned>(GetCurrentThreadId())).c_str();
    const LayoutCase cases[] = {
        {0, "x.cpp", 1, "[ERR ] M"},
        {1, "x.cpp", 1, timeText + " [ERR ] M"},
        {2, ".\\impl\\thread", 114, "[ERR ] thread(114) M"},
        {2, "a/b\\c", 5, "[ERR ] b\\c(5) M"},
        {2, "/src/kesh/impl/logger.cpp", -3, "[ERR ] logger.cpp(-3) M"},
        {2, "plain", 0, "[ERR ] plain(0) M"},
        {2, nullptr, 9, "[ERR ] M"},
        {4, nullptr, 0, "[ERR ] " + tid + "M"},
        {7, "dir/f.cpp", 12, timeText + " [ERR ] " + tid + "f.cpp(12) M"},
    };
    for (const LayoutCase& c : cases) {
        Logger logger;
        boost::shared_ptr<Lines> lines = boost::make_shared<Lines>();
        logger.setListener(lines);
        logger.setFlags(c.flags);
        StdoutCapture capture;
        EXPECT_TRUE(logger.writeAt(moment, "[ERR ]", c.file, c.line, "M"));
        EXPECT_EQ(c.expectedAfterTime + "\n", capture.finish()) << "flags " << c.flags;
        EXPECT_EQ(std::vector<std::string>{c.expectedAfterTime}, lines->lines) << "flags " << c.flags;
    }
}

TEST(LoggerTest, TimeStyleAndPatternReplaceTheDefaultTime)
{
    const Time moment = sundayNoon();
    Logger logger;
    boost::shared_ptr<Lines> lines = boost::make_shared<Lines>();
    logger.setListener(lines);
    StdoutCapture capture;
    logger.setTimePattern("hh:mm");
    logger.writeAt(moment, "[WARN]", nullptr, 0, "a");
    logger.setTimeStyle(1);
    logger.writeAt(moment, "[WARN]", nullptr, 0, "b");
    capture.finish();
    ASSERT_EQ(2u, lines->lines.size());
    EXPECT_EQ(std::string(moment.format("hh:mm", -1).c_str()) + " [WARN] a", lines->lines[0]);
    EXPECT_EQ(std::string(moment.formatStyle(1, -1).c_str()) + " [WARN] b", lines->lines[1]);
}

TEST(LoggerTest, NestedWriteFromTheListenerIsRefused)
{
    Logger logger;
    boost::shared_ptr<Echo> echo = boost::make_shared<Echo>(&logger);
    logger.setListener(echo);
    logger.setFlags(0);
    StdoutCapture capture;
    EXPECT_TRUE(logger.write("[ERR ]", nullptr, 0, "outer"));
    EXPECT_EQ("[ERR ] outer\n", capture.finish());
    EXPECT_EQ(0, echo->nestedResult);
    EXPECT_EQ(std::vector<std::string>{"[ERR ] outer"}, echo->lines);
    // The refusal clears with the write: the next one goes through.
    echo.reset();
    StdoutCapture again;
    EXPECT_TRUE(logger.write("[ERR ]", nullptr, 0, "later"));
    EXPECT_EQ("[ERR ] later\n", again.finish());
}

namespace {
class Throwing : public ILogListener {
public:
    void onLine(const char*) override { throw std::runtime_error("listener failed"); }
};
}  // namespace

// The exception is the listener's to answer for; the logger must go on.
TEST(LoggerTest, AListenerThatThrowsDoesNotSilenceTheLogger)
{
    Logger logger;
    logger.setFlags(0);
    boost::shared_ptr<Throwing> throwing = boost::make_shared<Throwing>();
    logger.setListener(throwing);
    StdoutCapture capture;
    EXPECT_THROW(logger.write("[ERR ]", nullptr, 0, "first"), std::runtime_error);
    boost::shared_ptr<Lines> lines = boost::make_shared<Lines>();
    logger.setListener(lines);
    EXPECT_TRUE(logger.write("[ERR ]", nullptr, 0, "second"));
    EXPECT_EQ("[ERR ] first\n[ERR ] second\n", capture.finish());
    EXPECT_EQ(std::vector<std::string>{"[ERR ] second"}, lines->lines);
}

namespace {
String dailyName(const TempFolder& folder, const char* title, const Time& day, const char* extension)
{
    return folder.path() + "\\" + title + day.format("yyyy_MM_dd", -1) + extension;
}
}  // namespace

TEST(LoggerTest, DailyFilesAreNamedByDateAndSwitchWithTheDay)
{
    TempFolder folder;
    const Time sunday = sundayNoon();
    const Time monday = daysAfter(sunday, 1);
    Logger logger;
    logger.setFlags(Logger::FlagDailyFile);
    logger.setLogPath(kesh::fs::Path(folder.file("app.log")));

    StdoutCapture capture;
    // A first line on a Sunday opens the file at once.
    logger.writeAt(sunday, "[ERR ]", nullptr, 0, "one");
    logger.writeAt(Time(sunday.getSeconds() + 3600), "[ERR ]", nullptr, 0, "two");
    logger.writeAt(monday, "[ERR ]", nullptr, 0, "three");
    // A week later with no line between: the same weekday, the same file.
    logger.writeAt(daysAfter(monday, 7), "[ERR ]", nullptr, 0, "four");
    EXPECT_EQ("", capture.finish());

    EXPECT_EQ("[ERR ] one\n[ERR ] two\n", readFile(dailyName(folder, "app", sunday, ".log")));
    EXPECT_EQ("[ERR ] three\n[ERR ] four\n", readFile(dailyName(folder, "app", monday, ".log")));
    EXPECT_EQ("<missing>", readFile(dailyName(folder, "app", daysAfter(monday, 7), ".log")));
}

TEST(LoggerTest, DailyFileKeepsEarlierLinesOfTheDayAndNeedsNoExtension)
{
    TempFolder folder;
    const Time day = daysAfter(sundayNoon(), 3);
    const String existing = dailyName(folder, "trace", day, "");
    {
        FILE* f = _wfopen(wide(existing).c_str(), L"wb");
        ASSERT_TRUE(f);
        fputs("earlier\n", f);
        fclose(f);
    }
    Logger logger;
    logger.setFlags(Logger::FlagDailyFile);
    logger.setLogPath(kesh::fs::Path(folder.file("trace")));
    StdoutCapture capture;
    logger.writeAt(day, "[DBG3]", nullptr, 0, "appended");
    EXPECT_EQ("", capture.finish());
    EXPECT_EQ("earlier\n[DBG3] appended\n", readFile(existing));
}

TEST(LoggerTest, MissingFolderSendsLinesToStandardOutputUntilTheDayChanges)
{
    TempFolder folder;
    const String missing = folder.file("later");
    const Time day = daysAfter(sundayNoon(), 2);
    Logger logger;
    logger.setFlags(Logger::FlagDailyFile);
    logger.setLogPath(kesh::fs::Path(missing + "\\app.log"));

    StdoutCapture capture;
    logger.writeAt(day, "[ERR ]", nullptr, 0, "first");
    // Succeeds only because the logger did not make the folder.
    EXPECT_TRUE(CreateDirectoryW(wide(missing).c_str(), nullptr));
    logger.writeAt(Time(day.getSeconds() + 60), "[ERR ]", nullptr, 0, "second");
    logger.writeAt(daysAfter(day, 1), "[ERR ]", nullptr, 0, "next day");
    EXPECT_EQ("[ERR ] first\n[ERR ] second\n", capture.finish());
    EXPECT_EQ("[ERR ] next day\n", readFile(missing + "\\app" + daysAfter(day, 1).format("yyyy_MM_dd", -1) + ".log"));
    EXPECT_EQ("<missing>", readFile(missing + "\\app" + day.format("yyyy_MM_dd", -1) + ".log"));
    logger.setLogPath(kesh::fs::Path());
    logger.writeAt(daysAfter(day, 2), "[ERR ]", nullptr, 0, "closes the file");
    DeleteFileW(wide(missing + "\\app" + daysAfter(day, 1).format("yyyy_MM_dd", -1) + ".log").c_str());
    RemoveDirectoryW(wide(missing).c_str());
}

namespace {
// Prints each line to standard error, so that a death test can see it.
class ToStderr : public ILogListener {
public:
    void onLine(const char* line) override
    {
        std::fputs(line, stderr);
        std::fputs(" | ", stderr);
        std::fflush(stderr);
    }
};

class CallsJoinAll : public kesh::sys::IRunnable {
public:
    void run() override { kesh::sys::joinAll(); }
    void stop() override {}
};
}  // namespace

TEST(LoggerDeathTest, JoinAllOnALibraryThreadLogsTheErrorAndFails)
{
    EXPECT_DEATH(
        {
            boost::shared_ptr<ILogListener> listener = boost::make_shared<ToStderr>();
            kesh::getLogger().setListener(listener);
            kesh::getLogger().setFlags(kesh::Logger::FlagSource);
            kesh::sys::createThread(boost::make_shared<CallsJoinAll>(), 0, 0);
            Sleep(INFINITE);  // the process lives until the library thread ends it
        },
        "\\[ERR \\] thread\\(\\d+\\) kesh::sys::impl::ThreadDataMap: joinAll not allowed in IThread \\| "
        "Assertion failed: 0, file \\.\\\\impl\\\\thread, line \\d+");
}
