#include "editor/view/menu_text.h"

#include <cwchar>

namespace {

bool IsFlag(wchar_t c)
{
    return c == L'-' || c == L'+' || c == L' ' || c == L'#' || c == L'0';
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

constexpr std::size_t kTooLong = static_cast<std::size_t>(-1);

// Past a width or precision of at most two digits; kTooLong for more, since
// no item text needs a wider field.
std::size_t SkipDigits(const std::wstring& text, std::size_t at)
{
    std::size_t end = at;
    while (end < text.size() && IsDigit(text[end])) ++end;
    return end - at > 2 ? kTooLong : end;
}

bool IsIntegerConversion(wchar_t c)
{
    return c == L'd' || c == L'i' || c == L'u' || c == L'x' || c == L'X';
}

}  // namespace

std::wstring FormatItemText(const std::wstring& format, int value)
{
    std::wstring out;
    std::size_t at = 0;
    while (at < format.size()) {
        const wchar_t c = format[at];
        if (c != L'%') {
            out += c;
            ++at;
            continue;
        }
        if (at + 1 < format.size() && format[at + 1] == L'%') {
            out += L'%';
            at += 2;
            continue;
        }
        // Flags, width and precision, then the conversion.
        std::size_t end = at + 1;
        while (end < format.size() && IsFlag(format[end])) ++end;
        end = SkipDigits(format, end);
        bool shortNumbers = end != kTooLong;
        if (shortNumbers && end < format.size() && format[end] == L'.') {
            end = SkipDigits(format, end + 1);
            shortNumbers = end != kTooLong;
        }
        if (!shortNumbers || end >= format.size() || !IsIntegerConversion(format[end])) {
            out += c;
            ++at;
            continue;
        }
        const std::wstring conversion = format.substr(at, end - at + 1);
        wchar_t piece[64];
        const int written = std::swprintf(piece, sizeof(piece) / sizeof(piece[0]), conversion.c_str(), value);
        if (written > 0) out.append(piece, static_cast<std::size_t>(written));
        at = end + 1;
    }
    return out;
}
