#include "kesh/logger.h"

#include "kesh/file.h"
#include "kesh/impl/globals.h"
#include "kesh/sync.h"
#include "kesh/thread.h"

#include <cstdio>
#include <cstring>

namespace kesh {

namespace {

// The text after the last "/", or else after the last "\", or all of it.
const char* baseName(const char* file)
{
    const char* slash = std::strrchr(file, '/');
    if (slash) return slash + 1;
    const char* backslash = std::strrchr(file, '\\');
    return backslash ? backslash + 1 : file;
}

}  // namespace

Logger::Logger()
    : level_(3), flags_(FlagTime), timePattern_("yyyy/MM/dd hh:mm:ss.uuu"), timeStyle_(-1), lastDay_(-1), busy_(false)
{
}

bool Logger::write(const char* tag, const char* file, int line, const char* message)
{
    return writeLine(nullptr, tag, file, line, message);
}

bool Logger::writeAt(const Time& moment, const char* tag, const char* file, int line, const char* message)
{
    return writeLine(&moment, tag, file, line, message);
}

unsigned Logger::getFlags()
{
    sys::ScopedLock lock(__::loggerWriteMutex);
    return flags_;
}

void Logger::setFlags(unsigned flags)
{
    sys::ScopedLock lock(__::loggerWriteMutex);
    flags_ = flags;
}

void Logger::setLogPath(const fs::Path& path)
{
    sys::ScopedLock lock(__::loggerWriteMutex);
    logPath_ = path;
}

void Logger::setTimePattern(const String& pattern)
{
    sys::ScopedLock lock(__::loggerWriteMutex);
    timePattern_ = pattern;
}

void Logger::setTimeStyle(int style)
{
    sys::ScopedLock lock(__::loggerWriteMutex);
    timeStyle_ = style;
}

void Logger::setListener(const boost::shared_ptr<ILogListener>& listener)
{
    sys::ScopedLock lock(__::loggerWriteMutex);
    listener_ = listener;
}

bool Logger::writeLine(const Time* given, const char* tag, const char* file, int line, const char* message)
{
    KESH_ASSERT(tag);
    KESH_ASSERT(message);
    sys::ScopedLock lock(__::loggerWriteMutex);
    if (busy_) return false;
    // Cleared however the line ends: a listener (or an allocation) that
    // throws must not leave the logger silent for good.
    struct BusyMark {
        bool& busy;
        explicit BusyMark(bool& flag) : busy(flag) { busy = true; }
        ~BusyMark() { busy = false; }
        BusyMark(const BusyMark&) = delete;
        BusyMark& operator=(const BusyMark&) = delete;
    } mark(busy_);
    const Time moment = given ? *given : Time::now();
    const String text = buildLine(moment, tag, file, line, message);
    if (flags_ & FlagDailyFile) {
        const int weekday = moment.getFields(-1).weekday;
        if (weekday != lastDay_) {
            openDailyFile(moment);
            lastDay_ = weekday;
        }
    }
    send(text);
    if (boost::shared_ptr<ILogListener> listener = listener_.lock()) listener->onLine(text.c_str());
    return true;
}

String Logger::buildLine(const Time& moment, const char* tag, const char* file, int line, const char* message) const
{
    String text;
    if (flags_ & FlagTime) {
        text.append((timeStyle_ == -1 ? moment.format(timePattern_, -1) : moment.formatStyle(timeStyle_, -1)).c_str());
        text.append(' ');
    }
    text.append(tag).append(' ');
    if (flags_ & FlagThreadId) text.append(String::format("tid:0x%08x ", sys::currentThread()->getId()).c_str());
    if ((flags_ & FlagSource) && file) text.append(String::format("%s(%d) ", baseName(file), line).c_str());
    text.append(message);
    return text;
}

void Logger::send(const String& line)
{
    if (output_) {
        output_->write(line.c_str(), line.length());
        output_->write("\n", 1);
        return;
    }
    std::fwrite(line.c_str(), 1, line.length(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Logger::openDailyFile(const Time& moment)
{
    output_.reset();
    if (logPath_.isEmpty()) return;
    const fs::Path name =
        logPath_.parent() / (logPath_.getTitle() + moment.format("yyyy_MM_dd", -1) + logPath_.getExtension());
    const boost::shared_ptr<fs::IFile> file = fs::open(name.toString());
    if (!file->open(false, fs::OpenAlways)) return;
    if (!file->seek(file->size())) return;
    output_ = file;
}

Logger& getLogger()
{
    return __::logger;
}

bool isLogLevelEnabled(unsigned level)
{
    return getLogger().getLevel() >= level;
}

}  // namespace kesh
