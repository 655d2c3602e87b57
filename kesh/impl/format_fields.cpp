#include "kesh/impl/format_fields.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace kesh {
namespace __ {

namespace {

// A run of digits as a number, counted no further than just past the
// largest bound so that no run can overflow.
long long readDigits(const char*& p)
{
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (value <= kMaxFormattedLength) value = value * 10 + (*p - '0');
    return value;
}

// The size of the argument a conversion takes, from its length modifier.
enum class ArgumentSize { Plain, Wide, LongDouble };

// The modifiers both this walk and the formatter read alike; any other
// letter ends the walk as a conversion it does not know.
ArgumentSize readLengthModifier(const char*& p)
{
    ArgumentSize size = ArgumentSize::Plain;
    for (;;) {
        if (*p == 'I' && p[1] == '6' && p[2] == '4') {
            size = ArgumentSize::Wide;
            p += 3;
        } else if (*p == 'I' && p[1] == '3' && p[2] == '2') {
            p += 3;
        } else if (*p == 'I' || *p == 'j' || *p == 'z' || *p == 't') {
            size = ArgumentSize::Wide;  // 64 bits on this platform
            ++p;
        } else if (*p == 'l' && p[1] == 'l') {
            size = ArgumentSize::Wide;
            p += 2;
        } else if (*p == 'L') {
            size = ArgumentSize::LongDouble;
            ++p;
        } else if (*p == 'h' || *p == 'l') {
            ++p;  // int-sized or promoted to int ("long" is 32 bits here)
        } else {
            return size;
        }
    }
}

// What a text or character conversion prints at the most, or -1 for a
// modifier whose text width the formatter and this walk might read apart
// (the formatter reads %hS, %lls and %js as wide, %Ls as narrow): only none,
// "h" before s and c, and "l" are taken, %S and %C being wide.
long long longestText(char conversion, const char* modifier, size_t modifierLength, long long precision,
                      bool precise, va_list& walk)
{
    const bool shortForm = modifierLength == 1 && *modifier == 'h';
    const bool longForm = modifierLength == 1 && *modifier == 'l';
    const bool wide = longForm || conversion == 'S' || conversion == 'C';
    if ((modifierLength > 0 && !shortForm && !longForm) || (wide && shortForm)) return -1;
    if (conversion == 'c' || conversion == 'C') {
        va_arg(walk, int);
        return 4;  // one character in the longest multi-byte form
    }
    const size_t most = precise ? static_cast<size_t>(precision) : static_cast<size_t>(-1);
    if (wide) {
        const wchar_t* text = va_arg(walk, const wchar_t*);
        if (!text) return 6;  // "(null)"
        return std::min<long long>(static_cast<long long>(std::wcslen(text)) * 4, static_cast<long long>(most));
    }
    const char* text = va_arg(walk, const char*);
    if (!text) return 6;
    return static_cast<long long>(strnlen(text, most));
}

}  // namespace

bool formatFits(const char* fmt, va_list args)
{
    va_list walk;
    va_copy(walk, args);
    bool fits = true;
    long long total = 0;
    for (const char* p = fmt; fits && *p; ++p) {
        if (*p != '%') {
            ++total;
            continue;
        }
        ++p;
        while (*p && std::strchr("-+ #0'", *p)) ++p;
        long long width = 0;
        if (*p == '*') {
            const int given = va_arg(walk, int);
            // A negative width is a left-aligned one.
            width = given < 0 ? -static_cast<long long>(given) : given;
            ++p;
        } else {
            width = readDigits(p);
        }
        long long precision = 0;
        bool precise = false;
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                const int given = va_arg(walk, int);
                precise = given >= 0;  // negative: as if none
                precision = precise ? given : 0;
                ++p;
            } else {
                precise = true;
                precision = readDigits(p);
            }
        }
        const char* modifier = p;
        const ArgumentSize size = readLengthModifier(p);
        const char conversion = *p;
        if (conversion == '\0') break;  // the text ends inside a field
        // At the most: a sign, a prefix and the digits of 64 bits in octal.
        long long longest = std::max(width, precision) + 24;
        if (std::strchr("diouxX", conversion)) {
            fits = width <= kMaxIntegerField && precision <= kMaxIntegerField;
            if (size == ArgumentSize::Plain)
                va_arg(walk, int);
            else
                va_arg(walk, long long);
        } else if (conversion == 'p') {
            fits = width <= kMaxIntegerField && precision <= kMaxIntegerField;
            va_arg(walk, void*);
        } else if (std::strchr("sScC", conversion)) {
            const long long text =
                longestText(conversion, modifier, static_cast<size_t>(p - modifier), precision, precise, walk);
            fits = text >= 0;
            longest = std::max(width, text);
        } else if (conversion == 'n') {
            va_arg(walk, void*);
            longest = 0;
        } else if (std::strchr("fFeEgGaA", conversion)) {
            if (size == ArgumentSize::LongDouble)
                va_arg(walk, long double);
            else
                va_arg(walk, double);
            // The integer digits of the largest long double, then the
            // fraction's.
            longest = std::max(width, precision + 5000);
        } else if (conversion == '%') {
            longest = std::max(width, 1LL);
        } else {
            fits = false;
        }
        total += longest;
        fits = fits && total <= kMaxFormattedLength;
    }
    va_end(walk);
    return fits && total <= kMaxFormattedLength;
}

}  // namespace __
}  // namespace kesh
