// What the network workers and their dialogs share: the Accept-Language
// value, the transport failure text and the worker's thread boundary.
#include "common/runner_protocol.h"
#include "kesh/string.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using kesh::Wide;

std::wstring SystemText(DWORD code, HMODULE module)
{
    wchar_t text[512] = {};
    const DWORD flags = FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM |
                        (module ? FORMAT_MESSAGE_FROM_HMODULE : 0);
    FormatMessageW(flags, module, code, 0, text, 512, nullptr);
    return text;
}

TEST(AcceptLanguageTest, LanguageAndCountryOfTheUserLocale)
{
    struct Case {
        const char* language;
        const char* country;
        const char* expected;
    };
    const Case cases[] = {
        {"zh", "CN", "zh-CN"},
        {"en", "US", "en-US"},
        {"zh", "", "zh"},
        {"", "CN", "zh-CN"},
        {"", "", "zh-CN"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.expected, AcceptLanguageFrom(c.language, c.country).c_str()) << c.language << "/" << c.country;

    wchar_t language[16] = {}, country[16] = {};
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, language, 16), 0);
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, country, 16), 0);
    EXPECT_EQ(std::wstring(language) + L"-" + country, Wide(GetAcceptLanguage()));
}

TEST(TransferFailureTest, TheSystemTextAfterThePrefix)
{
    // WinINet's own codes read from its message table.
    HMODULE wininet = LoadLibraryW(L"wininet.dll");
    ASSERT_NE(nullptr, wininet);
    const std::wstring prefix = L"传输中断: ";
    for (DWORD code : {DWORD(12029), DWORD(12002), DWORD(ERROR_ACCESS_DENIED)}) {
        const std::wstring system = SystemText(code, wininet);
        EXPECT_FALSE(system.empty()) << code;
        EXPECT_EQ(prefix + system, Wide(TransferFailureMessage(code))) << code;
    }
    FreeLibrary(wininet);
}

TEST(TransferFailureTest, ATextWithInsertsKeepsThem)
{
    // ERROR_WRONG_DISK reads "... %2 ... %3 ... %1": without insert
    // arguments the text must come back as it stands, not fail or read
    // arguments that are not there.
    const std::wstring text = Wide(TransferFailureMessage(ERROR_WRONG_DISK));
    const std::wstring system = SystemText(ERROR_WRONG_DISK, GetModuleHandleW(L"wininet.dll"));
    if (system.find(L"%1") != std::wstring::npos) {
        EXPECT_NE(std::wstring::npos, text.find(L"%1"));
    }
    EXPECT_EQ(L"传输中断: " + system, text);
}

TEST(TransferFailureTest, CodesWithoutTextNameTheCodes)
{
    const DWORD unknown = 0x2000FFFF;
    wchar_t probe[16];
    ASSERT_EQ(0u, FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, unknown, 0,
                                 probe, 16, nullptr));
    const DWORD formatError = GetLastError();
    EXPECT_EQ(L"传输中断: Error Code is 536936447, FormatMessage Error Code is " + std::to_wstring(formatError),
              Wide(TransferFailureMessage(unknown)));
}

// What a worker's exchange may throw, and the failure each leaves.
struct ClientFailure {
    DWORD LastError;
    const wchar_t* text;
    const wchar_t* errmsg() const { return text; }
};

TEST(RunAtThreadBoundaryTest, WhateverTheExchangeThrowsBecomesTheFailure)
{
    struct Case {
        const char* what;
        std::function<void(RunnerResult&)> exchange;
        bool ok;
        kesh::String message;
    };
    const Case cases[] = {
        {"nothing thrown", [](RunnerResult& r) { r.ok = true; }, true, ""},
        {"the client's failure",
         [](RunnerResult& r) {
             r.ok = true;
             throw ClientFailure{ERROR_FILE_NOT_FOUND, L"OpenFile failed."};
         },
         false, TransferFailureMessage(ERROR_FILE_NOT_FOUND)},
        // Code 0 is no system failure: its system text would read as success.
        {"the client's failure without a system code",
         [](RunnerResult&) { throw ClientFailure{0, L"The requested URL is not a valid URL."}; }, false,
         "传输中断: The requested URL is not a valid URL."},
        {"no memory", [](RunnerResult&) { throw std::bad_alloc(); }, false,
         TransferFailureMessage(ERROR_NOT_ENOUGH_MEMORY)},
        {"anything else", [](RunnerResult&) { throw 7; }, false, TransferFailureMessage(ERROR_INTERNAL_ERROR)},
    };
    for (const Case& c : cases) {
        RunnerResult result;
        RunAtThreadBoundary<ClientFailure>(result, c.exchange);
        EXPECT_EQ(c.ok, result.ok) << c.what;
        EXPECT_STREQ(c.message.c_str(), result.message.c_str()) << c.what;
    }
}

}  // namespace
