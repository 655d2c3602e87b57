#pragma once

#include "kesh/string.h"

namespace kesh {

// The local zone's standard offset in minutes east of UTC (480 for UTC+8);
// daylight saving time is not applied.
int timeZoneBias();

// A point in time: whole seconds since 1970-01-01 00:00:00 UTC (signed 32
// bits, so up to 2038-01-19 03:14:07) and milliseconds 0-999.
//
// Offsets are minutes east of UTC; -1 stands for timeZoneBias(). Fields are
// computed in 64 bits on the proleptic Gregorian calendar, so every
// shifted time, before 1970 or after 2038 too, has valid fields.
class Time {
public:
    struct Fields {
        int milliseconds;  // 0-999
        int second;        // 0-59
        int minute;        // 0-59
        int hour;          // 0-23
        int day;           // day of month, 1-31
        int weekday;       // 0 = Sunday to 6
        int yearDay;       // 0-365
        int month;         // 1-12
        int year;          // full year, 2026
    };

    Time() : seconds_(0), milliseconds_(0) {}  // 1970-01-01 00:00:00.000 UTC
    explicit Time(int seconds, unsigned milliseconds = 0) : seconds_(seconds), milliseconds_(milliseconds) {}

    // The system clock.
    static Time now();

    int getSeconds() const { return seconds_; }
    unsigned getMilliseconds() const { return milliseconds_; }

    Fields getFields(int offset) const;

    // The pattern with each token replaced by this time at offset. Tokens
    // are runs of one letter:
    //   M MM month number | MMM, MMMM locale month name | MMME English "Jan"
    //   d.. day | h.. hour (1-12 when the pattern holds an "a" anywhere, else
    //   0-23) | m.. minute | s.. second | u uu uuu tenths, hundredths,
    //   milliseconds | w ww www, wwww locale weekday name | wwwe English
    //   "Sun" | y yy two-digit year, yyy.. full year | a.. locale AM/PM |
    //   z/Z run: "GMT" (z first) or "Z" (Z first) at offset 0, else +hhmm or
    //   -hhmm.
    // Numbers are padded with "0" to the run's length. "\" copies the next
    // character as it is; a "\" at the very end yields nothing. Any other
    // character is copied.
    String format(const String& pattern, int offset = -1) const;

    // Numbered styles of the user's locale:
    //   0 "wwwe, dd MMME yyyy hh:mm:ss z"   1 "yyyyMMddThhmmssZ" (local)
    //   2 "yyyy-MM-dd T hh:mm:ss Z" (local) 3 long time and long date
    //   4 long date 5 long time 6 short time and medium date 7 medium date
    //   8 short time and short date 9 short date 10 short time
    // Styles 3 and above get " z" when an offset other than -1 is given;
    // unknown styles give only that (or nothing).
    String formatStyle(int style, int offset = -1) const;

private:
    int seconds_;
    unsigned milliseconds_;
};

}  // namespace kesh
