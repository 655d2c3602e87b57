#include "kesh/time.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <string>

using kesh::String;
using kesh::Time;

namespace {

// 2026-12-08 14:03:27.045 UTC, a Tuesday.
const Time kSample(1796738607, 45);

std::string localeText(LCTYPE type)
{
    wchar_t buffer[128] = {};
    if (GetLocaleInfoW(GetUserDefaultLCID(), type, buffer, 128) <= 0) return std::string();
    return String(buffer).c_str();
}

int zoneBiasFromSystem()
{
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    return -static_cast<int>(zone.Bias);
}

std::string fmt(const Time& t, const char* pattern, int offset)
{
    return t.format(pattern, offset).c_str();
}

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

TEST(TimeFieldsTest, BrokenDownAtOffsetsAcrossTheWholeRange)
{
    struct Case {
        int seconds;
        int offset;
        int year, month, day, hour, minute, second, weekday, yearDay;
    } cases[] = {
        {0, 0, 1970, 1, 1, 0, 0, 0, 4, 0},
        {1796738607, 0, 2026, 12, 8, 14, 3, 27, 2, 341},
        {1796738607, 480, 2026, 12, 8, 22, 3, 27, 2, 341},
        {1796738607, 600, 2026, 12, 9, 0, 3, 27, 3, 342},
        {951782400, 0, 2000, 2, 29, 0, 0, 0, 2, 59},
        {978307199, 0, 2000, 12, 31, 23, 59, 59, 0, 365},
        // Shifted before 1970: the system's own broken-down time has nothing here.
        {0, -60, 1969, 12, 31, 23, 0, 0, 3, 364},
        {INT_MIN, 0, 1901, 12, 13, 20, 45, 52, 5, 346},
        // Shifted beyond the last 32-bit second.
        {INT_MAX, 0, 2038, 1, 19, 3, 14, 7, 2, 18},
        {INT_MAX, 600, 2038, 1, 19, 13, 14, 7, 2, 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.seconds) + " at " + std::to_string(c.offset));
        const Time::Fields f = Time(c.seconds, 7).getFields(c.offset);
        EXPECT_EQ(c.year, f.year);
        EXPECT_EQ(c.month, f.month);
        EXPECT_EQ(c.day, f.day);
        EXPECT_EQ(c.hour, f.hour);
        EXPECT_EQ(c.minute, f.minute);
        EXPECT_EQ(c.second, f.second);
        EXPECT_EQ(c.weekday, f.weekday);
        EXPECT_EQ(c.yearDay, f.yearDay);
        EXPECT_EQ(7, f.milliseconds);
    }
}

TEST(TimeFormatTest, EveryNumericAndEnglishToken)
{
    struct Case {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"yyMMdd", "261208"},
        {"yyyy/MM/dd hh:mm:ss.uuu", "2026/12/08 14:03:27.045"},
        {"yyyy_MM_dd", "2026_12_08"},
        {"y", "26"},
        {"yyy", "2026"},
        {"yyyyyy", "2026"},
        {"M", "12"},
        {"d", "8"},
        {"ddd", "008"},
        {"h", "14"},
        {"hhh", "014"},
        {"m", "3"},
        {"mm", "03"},
        {"s", "27"},
        {"u", "0"},
        {"uu", "04"},
        {"uuu", "045"},
        {"uuuuu", "045"},
        {"MMME", "Dec"},
        {"MMMEE", "DecE"},
        {"wwwe", "Tue"},
        {"wwwee", "Tuee"},
        {"z", "GMT"},
        {"Z", "Z"},
        {"zZ", "GMT"},
        {"Zz", "Z"},
        {"yyyyMMddThhmmss", "20261208T140327"},
        {"x-y", "x-26"},
        // Escapes copy the next character; a backslash at the end yields nothing.
        {"\\y\\M\\d", "yMd"},
        {"\\\\", "\\"},
        {"yy\\", "26"},
        {"\\", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(c.expected, fmt(kSample, c.pattern, 0));
    }
}

TEST(TimeFormatTest, TwelveHourClockWhenThePatternHoldsAnA)
{
    struct Case {
        int hour;
        const char* twelve;
        const char* twentyFour;
    } cases[] = {{0, "12", "00"}, {1, "1", "01"}, {11, "11", "11"}, {12, "12", "12"}, {13, "1", "13"}, {23, "11", "23"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hour);
        const Time t(c.hour * 3600);
        // The "a" counts even when it is escaped and so only copied.
        EXPECT_EQ(std::string(c.twelve) + "a", fmt(t, "h\\a", 0));
        EXPECT_EQ(c.twentyFour, fmt(t, "hh", 0));
        const std::string designator = localeText(c.hour < 12 ? LOCALE_S1159 : LOCALE_S2359);
        EXPECT_EQ(std::string(c.twelve) + " " + designator, fmt(t, "h a", 0));
    }
}

TEST(TimeFormatTest, LocaleMonthAndWeekdayNamesAndEnglishOnes)
{
    static const char* const english[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char* const englishDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    // The 15th of every month of 2026.
    for (int month = 1; month <= 12; ++month) {
        SCOPED_TRACE(month);
        static const int dayOfYear[] = {14, 45, 73, 104, 134, 165, 195, 226, 257, 287, 318, 348};
        const Time t(1767225600 + dayOfYear[month - 1] * 86400);  // 2026-01-01 + days
        EXPECT_EQ(localeText(LOCALE_SABBREVMONTHNAME1 + month - 1), fmt(t, "MMM", 0));
        EXPECT_EQ(localeText(LOCALE_SMONTHNAME1 + month - 1), fmt(t, "MMMM", 0));
        EXPECT_EQ(localeText(LOCALE_SMONTHNAME1 + month - 1), fmt(t, "MMMMMM", 0));
        EXPECT_EQ(english[month - 1], fmt(t, "MMME", 0));
    }
    // 2026-12-06 was a Sunday; Windows numbers Monday as day 1.
    for (int weekday = 0; weekday < 7; ++weekday) {
        SCOPED_TRACE(weekday);
        const Time t(1796515200 + weekday * 86400);
        const LCTYPE windowsDay = static_cast<LCTYPE>((weekday + 6) % 7);
        EXPECT_EQ(localeText(LOCALE_SABBREVDAYNAME1 + windowsDay), fmt(t, "w", 0));
        EXPECT_EQ(localeText(LOCALE_SABBREVDAYNAME1 + windowsDay), fmt(t, "www", 0));
        EXPECT_EQ(localeText(LOCALE_SDAYNAME1 + windowsDay), fmt(t, "wwww", 0));
        EXPECT_EQ(englishDays[weekday], fmt(t, "wwwe", 0));
    }
}

TEST(TimeFormatTest, ZoneTokenAndStyleZeroAtOffsets)
{
    struct Case {
        int offset;
        const char* style0;
    } cases[] = {
        {0, "Tue, 08 Dec 2026 14:03:27 GMT"},
        {480, "Tue, 08 Dec 2026 22:03:27 +0800"},
        {-330, "Tue, 08 Dec 2026 08:33:27 -0530"},
        {600, "Wed, 09 Dec 2026 00:03:27 +1000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        EXPECT_EQ(c.style0, std::string(kSample.formatStyle(0, c.offset).c_str()));
    }
    EXPECT_EQ("Z", fmt(kSample, "Z", 0));
    EXPECT_EQ("+0800", fmt(kSample, "ZZZ", 480));
    EXPECT_EQ("-0530", fmt(kSample, "z", -330));
}

TEST(TimeFormatTest, MinusOneMeansTheLocalStandardOffset)
{
    const int bias = zoneBiasFromSystem();
    EXPECT_EQ(bias, kesh::timeZoneBias());
    EXPECT_EQ(fmt(kSample, "yyyy-MM-dd hh:mm:ss Z", bias), fmt(kSample, "yyyy-MM-dd hh:mm:ss Z", -1));
    // Styles 1 and 2 always show the local offset, whatever they are given.
    for (int given : {-1, 0, 480, -330}) {
        SCOPED_TRACE(given);
        EXPECT_EQ(fmt(kSample, "yyyyMMddThhmmssZ", bias), std::string(kSample.formatStyle(1, given).c_str()));
        EXPECT_EQ(fmt(kSample, "yyyy-MM-dd T hh:mm:ss Z", bias), std::string(kSample.formatStyle(2, given).c_str()));
    }
}

TEST(TimeFormatTest, LocaleStylesFollowTheLocaleClockAndDateOrder)
{
    const bool twelveHour = localeText(LOCALE_ITIME).substr(0, 1) == "0";
    const std::string sep = localeText(LOCALE_STIME);
    const std::string hour = twelveHour ? "2" : "14";
    const std::string designator = twelveHour ? localeText(LOCALE_S2359) : std::string();
    const std::string shortTime = hour + sep + "03" + designator;
    const std::string longTime = hour + sep + "03" + sep + "27" + designator;

    EXPECT_EQ(longTime + " GMT", std::string(kSample.formatStyle(5, 0).c_str()));
    EXPECT_EQ(shortTime + " GMT", std::string(kSample.formatStyle(10, 0).c_str()));

    // The long date names the full weekday, the full month and the year.
    const std::string longDate = kSample.formatStyle(4, 0).c_str();
    EXPECT_NE(std::string::npos, longDate.find(localeText(LOCALE_SDAYNAME2)));  // Tuesday
    EXPECT_NE(std::string::npos, longDate.find(localeText(LOCALE_SMONTHNAME12)));
    EXPECT_NE(std::string::npos, longDate.find("2026"));
    EXPECT_TRUE(endsWith(longDate, " GMT"));

    // The short date holds the separator and two-digit parts in locale order.
    const std::string dateSep = localeText(LOCALE_SDATE);
    const char order = localeText(LOCALE_IDATE)[0];
    const std::string shortDate = order == '0'   ? "12" + dateSep + "08" + dateSep + "26"
                                  : order == '1' ? "08" + dateSep + "12" + dateSep + "26"
                                                 : "26" + dateSep + "12" + dateSep + "08";
    EXPECT_EQ(shortDate + " GMT", std::string(kSample.formatStyle(9, 0).c_str()));
    EXPECT_EQ(shortTime + " " + shortDate + " GMT", std::string(kSample.formatStyle(8, 0).c_str()));
    EXPECT_EQ(longTime + " " + longDate, std::string(kSample.formatStyle(3, 0).c_str()));

    // Without an explicit offset there is no zone; an unknown style gives only the zone.
    EXPECT_FALSE(endsWith(kSample.formatStyle(4, -1).c_str(), "GMT"));
    EXPECT_EQ("", std::string(kSample.formatStyle(11, -1).c_str()));
    EXPECT_EQ(" GMT", std::string(kSample.formatStyle(-2, 0).c_str()));
}

TEST(TimeFormatTest, TimesOutsideTheSystemRangeFormatWithoutCrashing)
{
    EXPECT_EQ("1969-12-31 23:00:00", fmt(Time(0), "yyyy-MM-dd hh:mm:ss", -60));
    EXPECT_EQ("2038-01-19 13:14:07 +1000", fmt(Time(INT_MAX), "yyyy-MM-dd hh:mm:ss Z", 600));
    EXPECT_EQ("Fri, 13 Dec 1901 20:45:52 GMT", std::string(Time(INT_MIN).formatStyle(0, 0).c_str()));
    EXPECT_EQ("Wed, 31 Dec 1969 14:00:00 -1000", std::string(Time(0).formatStyle(0, -600).c_str()));
}

TEST(TimeNowTest, MatchesTheSystemClock)
{
    const long long before = _time64(nullptr);
    const Time now = Time::now();
    const long long after = _time64(nullptr);
    EXPECT_LE(before, static_cast<long long>(now.getSeconds()));
    EXPECT_GE(after, static_cast<long long>(now.getSeconds()));
    EXPECT_LT(now.getMilliseconds(), 1000u);
}
