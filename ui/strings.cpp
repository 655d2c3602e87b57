#include "ui/strings.h"

#include <vector>

namespace ui {

HINSTANCE ResourceInstance() { return GetModuleHandleW(nullptr); }

std::wstring LoadResString(UINT id)
{
    // With a zero length, LoadStringW hands out a pointer into the
    // resource itself, so strings of any length come back whole.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(ResourceInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text)
        return std::wstring();
    return std::wstring(text, static_cast<size_t>(length));
}

std::wstring TooltipOf(const std::wstring& commandString)
{
    const size_t start = commandString.find(L'\n');
    if (start == std::wstring::npos)
        return std::wstring();
    const size_t end = commandString.find(L'\n', start + 1);
    return commandString.substr(start + 1, end == std::wstring::npos ? std::wstring::npos : end - start - 1);
}

std::wstring FormatNumbered(const std::wstring& text, std::initializer_list<std::wstring> args)
{
    const std::vector<std::wstring> values(args);
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 1 < text.size() && text[i + 1] >= L'1' && text[i + 1] <= L'9') {
            const size_t n = static_cast<size_t>(text[i + 1] - L'1');
            if (n < values.size()) {
                out += values[n];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace ui
