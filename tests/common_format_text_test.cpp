// Texts of the string table filled with their arguments.
#include "common/format_text.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

TEST(FormatWithArgsTest, FillsEachPlaceholderWithTheNextTextAsItStands)
{
    struct Case {
        const wchar_t* format;
        std::initializer_list<std::wstring> args;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"是否保存修改到\n%s", {L"C:\\a.png"}, L"是否保存修改到\nC:\\a.png"},
        {L"是否保存修改到\n%s", {L"C:\\100%s %d.png"}, L"是否保存修改到\nC:\\100%s %d.png"},
        {L"版本%d.%d.%d.%d", {L"1", L"0", L"300", L"2"}, L"版本1.0.300.2"},
        {L"%s|%s||", {L"a"}, L"a|||"},
        {L"100%% %u", {L"7"}, L"100% 7"},
        {L"%x and a lone %", {}, L"%x and a lone %"},
        {L"", {L"unused"}, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(c.expected), FormatWithArgs(c.format, c.args)) << c.format;
}

}  // namespace
