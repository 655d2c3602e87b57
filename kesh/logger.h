#pragma once

#include "kesh/io.h"
#include "kesh/path.h"
#include "kesh/string.h"
#include "kesh/time.h"

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include <atomic>

namespace kesh {

// Levels 0 up to the logger's level are on; 0 is the error level.
enum { LogLevelError = 0 };

// Receives every finished line (without its newline), with the logger's
// write mutex held: a write made from here is refused.
class ILogListener {
public:
    virtual ~ILogListener() {}
    virtual void onLine(const char* line) = 0;
};

// Writes one line per message: the time, the caller's tag, optionally the
// thread id and the source place, and the message; to the open daily log
// file or else to standard output, then to the listener. All writes of all
// loggers are serialised by one process-wide mutex; a write made while the
// same logger is writing on this thread (from the output or the listener)
// is dropped. Nothing is reported: a file that cannot be opened or written
// leaves the lines on standard output or loses them.
class Logger {
public:
    enum {
        FlagTime = 1,       // begin with the time
        FlagSource = 2,     // the source file's base name and "(line) "
        FlagThreadId = 4,   // "tid:0x" and 8 lower-case hex digits
        FlagDailyFile = 8   // write to the log path's file of the day
    };

    // Level 3, flags 1, no log path, time pattern "yyyy/MM/dd hh:mm:ss.uuu",
    // time style -1, no listener.
    Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // One line at the current time. tag and message must not be null; file
    // may be. False only when the line was dropped as a nested write.
    bool write(const char* tag, const char* file, int line, const char* message);
    // The same with the line's moment given.
    bool writeAt(const Time& moment, const char* tag, const char* file, int line, const char* message);

    unsigned getLevel() const { return level_.load(); }
    void setLevel(unsigned level) { level_.store(level); }
    unsigned getFlags();
    void setFlags(unsigned flags);
    // The daily files are named in the path's folder as its title, the date
    // as "yyyy_MM_dd" and its extension: D:\logs\app.log gives
    // D:\logs\app2026_12_08.log. The folder is never created.
    void setLogPath(const fs::Path& path);
    // A time pattern, used while the time style is -1.
    void setTimePattern(const String& pattern);
    // A numbered time style, or -1 for the time pattern.
    void setTimeStyle(int style);
    // Held weakly: the listener stops hearing when its owner drops it.
    void setListener(const boost::shared_ptr<ILogListener>& listener);

private:
    bool writeLine(const Time* given, const char* tag, const char* file, int line, const char* message);
    String buildLine(const Time& moment, const char* tag, const char* file, int line, const char* message) const;
    void send(const String& line);
    void openDailyFile(const Time& moment);

    std::atomic<unsigned> level_;
    unsigned flags_;
    fs::Path logPath_;
    String timePattern_;
    int timeStyle_;
    boost::weak_ptr<ILogListener> listener_;
    boost::shared_ptr<IIO> output_;
    // The weekday (0 Sunday to 6) the daily file was last opened for; -1, no
    // weekday, until the first line opens one whatever the day.
    int lastDay_;
    bool busy_;
};

// The process-wide logger.
Logger& getLogger();

// Whether the process-wide logger's level admits level.
bool isLogLevelEnabled(unsigned level);

}  // namespace kesh
