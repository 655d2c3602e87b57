// The toolbar's settings in a registry key of the test's own, and the
// start-at-login shortcut in a folder of the test's own.
#include "toolbar/core/toolbar_settings.h"

#include "kesh/handles.h"
#include "tests/editor_test_support.h"
#include "tests/registry_cleanup.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <string>
#include <vector>

namespace {

class ToolbarSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        sub_ = kesh::String::format("Software\\NorpaTest\\%s.%lu", info->name(), GetCurrentProcessId());
        SHDeleteKeyW(HKEY_CURRENT_USER, sub_.toWide().get());
    }
    void TearDown() override
    {
        testsupport::DeleteKeyAndEmptyParents(sub_.toWide().get());
        DeleteFileW(Shortcut().c_str());
        RemoveDirectoryW(startup_.path("startup").toWide().get());
        CoUninitialize();
    }

    SettingsPlace Place() const { return SettingsPlace{"HKEY_CURRENT_USER\\" + sub_, startup_.path("startup")}; }
    std::wstring Shortcut() const { return std::wstring(startup_.path("startup\\Norpa.lnk").toWide().get()); }
    bool ShortcutExists() const { return GetFileAttributesW(Shortcut().c_str()) != INVALID_FILE_ATTRIBUTES; }

    void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        kesh::win::RegistryKeyHandle key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, sub_.toWide().get(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr));
        RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    }
    void WriteText(const wchar_t* name, const std::wstring& text)
    {
        WriteRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    // The value's type and its data as text (a DWORD in decimal).
    std::wstring ReadRaw(const wchar_t* name, DWORD* type)
    {
        BYTE data[256] = {};
        DWORD size = sizeof(data) - sizeof(wchar_t);
        *type = REG_NONE;
        if (SHGetValueW(HKEY_CURRENT_USER, sub_.toWide().get(), name, type, data, &size) != ERROR_SUCCESS)
            return L"(missing)";
        if (*type == REG_DWORD)
            return std::to_wstring(*reinterpret_cast<DWORD*>(data));
        return reinterpret_cast<wchar_t*>(data);
    }

    kesh::String sub_;
    editortest::TempFolder startup_;
};

TEST_F(ToolbarSettingsTest, AFreshAccountGetsTheDefaults)
{
    ToolbarSettings settings(Place());
    settings.autoRun = false;
    settings.hideWhenCapture = true;
    settings.hotKey = 7;
    settings.xPos = settings.yPos = 3;
    settings.Load();
    EXPECT_TRUE(settings.autoRun);
    EXPECT_FALSE(settings.hideWhenCapture);
    EXPECT_EQ(0x00020071u, settings.hotKey);  // Ctrl+F2
    EXPECT_EQ(10000, settings.xPos);
    EXPECT_EQ(10000, settings.yPos);
}

TEST_F(ToolbarSettingsTest, SavesFlagsAndHotKeyAsNumbersAndThePositionAsText)
{
    ToolbarSettings settings(Place());
    settings.autoRun = false;
    settings.hideWhenCapture = true;
    settings.hotKey = 0x00010078;  // Shift+F9
    settings.xPos = -8;
    settings.yPos = 1017;
    settings.Save();

    struct Expected {
        const wchar_t* name;
        DWORD type;
        const wchar_t* data;
    };
    const Expected values[] = {
        {L"autoRun", REG_DWORD, L"0"},     {L"hideWhenCapture", REG_DWORD, L"1"},
        {L"captureHotkey", REG_DWORD, L"65656"}, {L"xPos", REG_SZ, L"-8"},
        {L"yPos", REG_SZ, L"1017"},
    };
    for (const Expected& e : values) {
        DWORD type = 0;
        EXPECT_EQ(std::wstring(e.data), ReadRaw(e.name, &type)) << e.name;
        EXPECT_EQ(e.type, type) << e.name;
    }

    ToolbarSettings again(Place());
    again.Load();
    EXPECT_FALSE(again.autoRun);
    EXPECT_TRUE(again.hideWhenCapture);
    EXPECT_EQ(0x00010078u, again.hotKey);
    EXPECT_EQ(-8, again.xPos);
    EXPECT_EQ(1017, again.yPos);
}

TEST_F(ToolbarSettingsTest, ReadsValuesOtherProgramsMayHaveWrittenAsTheirNumbers)
{
    struct Case {
        const char* what;
        const wchar_t* name;
        const wchar_t* text;  // written as REG_SZ
        bool autoRun;
        DWORD hotKey;
        int xPos;
    };
    const Case cases[] = {
        {"a flag as text 0", L"autoRun", L"0", false, 0x00020071, 10000},
        {"a flag as text 2 counts as set", L"autoRun", L"2", true, 0x00020071, 10000},
        {"a hot key that is no number: no hot key", L"captureHotkey", L"Ctrl+F2", true, 0, 10000},
        {"a position that is no number: 0", L"xPos", L"left", true, 0x00020071, 0},
    };
    for (const Case& c : cases) {
        SHDeleteKeyW(HKEY_CURRENT_USER, sub_.toWide().get());
        WriteText(c.name, c.text);
        ToolbarSettings settings(Place());
        settings.Load();
        EXPECT_EQ(c.autoRun, settings.autoRun) << c.what;
        EXPECT_EQ(c.hotKey, settings.hotKey) << c.what;
        EXPECT_EQ(c.xPos, settings.xPos) << c.what;
    }
    // A position stored as a DWORD by hand reads as its unsigned value,
    // clamped to the largest position.
    SHDeleteKeyW(HKEY_CURRENT_USER, sub_.toWide().get());
    const DWORD minusEight = static_cast<DWORD>(-8);
    WriteRaw(L"yPos", REG_DWORD, &minusEight, sizeof(minusEight));
    ToolbarSettings settings(Place());
    settings.Load();
    EXPECT_EQ(2147483647, settings.yPos);
}

TEST_F(ToolbarSettingsTest, TheStartupShortcutFollowsAutoRunAtEveryLoadAndSave)
{
    CreateDirectoryW(startup_.path("startup").toWide().get(), nullptr);
    struct Step {
        const char* what;
        bool save;     // else load
        int autoRun;   // stored in the key first (-1: nothing stored) or set before saving
        bool deleteFirst;
        bool shortcut;
    };
    const Step steps[] = {
        {"a fresh account's first load writes it", false, -1, false, true},
        {"deleted by hand, it comes back at the next load", false, -1, true, true},
        {"saving with start at login off removes it", true, 0, false, false},
        {"loading with it off leaves none", false, 0, false, false},
        {"saving with it on writes it again", true, 1, false, true},
        {"a shortcut left while the setting is off goes at the next load", false, 0, false, false},
    };
    for (const Step& s : steps) {
        if (s.deleteFirst)
            DeleteFileW(Shortcut().c_str());
        ToolbarSettings settings(Place());
        if (s.save) {
            settings.autoRun = s.autoRun != 0;
            settings.Save();
        } else {
            if (s.autoRun >= 0) {
                const DWORD value = static_cast<DWORD>(s.autoRun);
                WriteRaw(L"autoRun", REG_DWORD, &value, sizeof(value));
            }
            settings.Load();
        }
        EXPECT_EQ(s.shortcut, ShortcutExists()) << s.what;
    }

}

}  // namespace
