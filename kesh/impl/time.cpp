#include "kesh/time.h"

#include "kesh/assert.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kesh {

namespace {

const char* const kEnglishWeekdays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kEnglishMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

long long floorDiv(long long a, long long b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
long long daysFromCivil(long long year, int month, int day)
{
    year -= month <= 2;
    const long long era = floorDiv(year, 400);
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The text of one locale value of the user's default locale; empty when the
// system has none.
String localeInfo(LCTYPE type)
{
    const LCID locale = GetUserDefaultLCID();
    const int n = GetLocaleInfoW(locale, type, nullptr, 0);
    if (n <= 0) return String();
    std::vector<wchar_t> buffer(static_cast<size_t>(n));
    if (GetLocaleInfoW(locale, type, buffer.data(), n) <= 0) return String();
    return String(buffer.data());
}

String localeMonth(int month, bool full)
{
    return localeInfo((full ? LOCALE_SMONTHNAME1 : LOCALE_SABBREVMONTHNAME1) + (month - 1));
}

// Windows numbers the days Monday 1 to Sunday 7.
String localeWeekday(int weekday, bool full)
{
    return localeInfo((full ? LOCALE_SDAYNAME1 : LOCALE_SABBREVDAYNAME1) + (weekday + 6) % 7);
}

void appendNumber(std::string& out, long long value, unsigned width)
{
    if (value < 0) {
        out += '-';
        value = -value;
    }
    const std::string digits = std::to_string(value);
    if (digits.size() < width) out.append(width - digits.size(), '0');
    out += digits;
}

void appendText(std::string& out, const String& text)
{
    out.append(text.c_str(), text.length());
}

void appendZone(std::string& out, int offset, char first)
{
    if (offset == 0) {
        out += first == 'z' ? "GMT" : "Z";
        return;
    }
    const long long minutes = offset < 0 ? -static_cast<long long>(offset) : offset;
    out += offset > 0 ? '+' : '-';
    appendNumber(out, minutes / 60, 2);
    appendNumber(out, minutes % 60, 2);
}

String timePattern(bool withSeconds)
{
    const bool twelveHour = localeInfo(LOCALE_ITIME).c_str()[0] == '0';
    const String separator = localeInfo(LOCALE_STIME);
    String pattern(twelveHour ? "h" : "hh");
    pattern = pattern + separator + "mm";
    if (withSeconds) pattern = pattern + separator + "ss";
    if (twelveHour) pattern.append("a");
    return pattern;
}

// Date order from LOCALE_IDATE: 0 month-day-year, 1 day-month-year, 2
// year-month-day; -1 for anything else.
int dateOrder()
{
    const char c = localeInfo(LOCALE_IDATE).c_str()[0];
    return (c >= '0' && c <= '2') ? c - '0' : -1;
}

String longDatePattern()
{
    static const char* const byOrder[3] = {"MMMM d, yyyy", "d MMMM yyyy", "yyyy MMMM d"};
    const int order = dateOrder();
    return order < 0 ? String() : String("wwww ") + byOrder[order];
}

String mediumDatePattern()
{
    static const char* const byOrder[3] = {"MMM d, yy", "d MMM yy", "yy MMM d"};
    const int order = dateOrder();
    return order < 0 ? String() : String("www ") + byOrder[order];
}

String shortDatePattern()
{
    static const char* const parts[3][3] = {{"MM", "dd", "yy"}, {"dd", "MM", "yy"}, {"yy", "MM", "dd"}};
    const int order = dateOrder();
    if (order < 0) return String();
    const String separator = localeInfo(LOCALE_SDATE);
    return String(parts[order][0]) + separator + parts[order][1] + separator + parts[order][2];
}

}  // namespace

int timeZoneBias()
{
    TIME_ZONE_INFORMATION zone;
    const DWORD r = GetTimeZoneInformation(&zone);
    KESH_ASSERT(r!= 0xffffffff);
    return -static_cast<int>(zone.Bias);
}

Time Time::now()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    const unsigned long long ticks = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    const unsigned long long since1970 = ticks / 10000000ULL - 11644473600ULL;
    return Time(static_cast<int>(static_cast<unsigned>(since1970)),
                static_cast<unsigned>(ticks % 10000000ULL / 10000ULL));
}

Time::Fields Time::getFields(int offset) const
{
    if (offset == -1) offset = timeZoneBias();
    const long long shifted = static_cast<long long>(seconds_) + static_cast<long long>(offset) * 60;
    const long long days = floorDiv(shifted, 86400);
    const long long secondOfDay = shifted - days * 86400;

    // Civil date of a day count, counted in eras of 400 years from March.
    const long long z = days + 719468;
    const long long era = floorDiv(z, 146097);
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfMarchYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthFromMarch = (5 * dayOfMarchYear + 2) / 153;
    const int month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);

    Fields f;
    f.milliseconds = static_cast<int>(milliseconds_);
    f.second = static_cast<int>(secondOfDay % 60);
    f.minute = static_cast<int>(secondOfDay / 60 % 60);
    f.hour = static_cast<int>(secondOfDay / 3600);
    f.day = static_cast<int>(dayOfMarchYear - (153 * monthFromMarch + 2) / 5 + 1);
    f.weekday = static_cast<int>(days + 4 - floorDiv(days + 4, 7) * 7);  // 1970-01-01 was a Thursday
    f.yearDay = static_cast<int>(days - daysFromCivil(year, 1, 1));
    f.month = month;
    f.year = static_cast<int>(year);
    return f;
}

String Time::format(const String& pattern, int offset) const
{
    if (offset == -1) offset = timeZoneBias();
    const Fields f = getFields(offset);
    const bool twelveHour = pattern.find('a') != String::npos;
    const char* p = pattern.c_str();
    const unsigned length = pattern.length();
    std::string out;
    unsigned i = 0;
    while (i < length) {
        const char c = p[i];
        if (c == '\\') {
            if (i + 1 < length) out += p[i + 1];
            i += 2;
            continue;
        }
        const bool zone = c == 'z' || c == 'Z';
        unsigned n = 1;
        while (i + n < length && (zone ? (p[i + n] == 'z' || p[i + n] == 'Z') : p[i + n] == c)) ++n;
        i += n;
        switch (c) {
        case 'M':
            if (n <= 2) {
                appendNumber(out, f.month, n);
            } else if (n == 3 && p[i] == 'E') {
                out += kEnglishMonths[f.month - 1];
                ++i;
            } else {
                appendText(out, localeMonth(f.month, n > 3));
            }
            break;
        case 'd': appendNumber(out, f.day, n); break;
        case 'h': appendNumber(out, twelveHour ? (f.hour + 11) % 12 + 1 : f.hour, n); break;
        case 'm': appendNumber(out, f.minute, n); break;
        case 's': appendNumber(out, f.second, n); break;
        case 'u':
            if (n == 1)
                appendNumber(out, f.milliseconds / 100, 1);
            else if (n == 2)
                appendNumber(out, f.milliseconds / 10, 2);
            else
                appendNumber(out, f.milliseconds, 3);
            break;
        case 'w':
            if (n == 3 && p[i] == 'e') {
                out += kEnglishWeekdays[f.weekday];
                ++i;
            } else {
                appendText(out, localeWeekday(f.weekday, n > 3));
            }
            break;
        case 'y':
            if (n <= 2)
                appendNumber(out, (f.year % 100 + 100) % 100, 2);
            else
                appendNumber(out, f.year, 4);
            break;
        case 'a': appendText(out, localeInfo(f.hour < 12 ? LOCALE_S1159 : LOCALE_S2359)); break;
        case 'z':
        case 'Z': appendZone(out, offset, c); break;
        default: out.append(n, c); break;
        }
    }
    return String(out.c_str(), static_cast<unsigned>(out.size()));
}

String Time::formatStyle(int style, int offset) const
{
    switch (style) {
    case 0: return format("wwwe, dd MMME yyyy hh:mm:ss z", offset);
    case 1: return format("yyyyMMddThhmmssZ", -1);
    case 2: return format("yyyy-MM-dd T hh:mm:ss Z", -1);
    default: break;
    }
    String pattern;
    switch (style) {
    case 3: pattern = timePattern(true) + " " + longDatePattern(); break;
    case 4: pattern = longDatePattern(); break;
    case 5: pattern = timePattern(true); break;
    case 6: pattern = timePattern(false) + " " + mediumDatePattern(); break;
    case 7: pattern = mediumDatePattern(); break;
    case 8: pattern = timePattern(false) + " " + shortDatePattern(); break;
    case 9: pattern = shortDatePattern(); break;
    case 10: pattern = timePattern(false); break;
    default: break;
    }
    if (offset != -1) pattern.append(" z");
    return format(pattern, offset);
}

}  // namespace kesh
