#include "common/format_text.h"

std::wstring FormatWithArgs(const std::wstring& format, std::initializer_list<std::wstring> args)
{
    std::wstring text;
    text.reserve(format.size());
    auto next = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        const wchar_t c = format[i];
        if (c != L'%' || i + 1 == format.size()) {
            text.push_back(c);
            continue;
        }
        const wchar_t kind = format[i + 1];
        if (kind == L'%') {
            text.push_back(L'%');
            ++i;
        } else if (kind == L's' || kind == L'd' || kind == L'u') {
            if (next != args.end())
                text += *next++;
            ++i;
        } else {
            text.push_back(c);
        }
    }
    return text;
}
