#include "kesh/handles.h"
#include "kesh/registry.h"
#include "tests/registry_cleanup.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shlwapi.h>

#include <string>
#include <utility>
#include <vector>

using kesh::String;
using kesh::app::IRegistryKey;
using kesh::app::openRegistryKey;

namespace {

// Every test works below its own key under HKCU\Software\NorpaTest, removed
// afterwards.
class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        sub_ = String::format("Software\\NorpaTest\\%s.%lu.%lu", info->name(), GetCurrentProcessId(), GetTickCount());
        SHDeleteKeyW(HKEY_CURRENT_USER, sub_.toWide().get());
    }
    void TearDown() override { testsupport::DeleteKeyAndEmptyParents(sub_.toWide().get()); }

    // The test's key below HKCU, or one of its subkeys.
    String sub(const char* below = nullptr) const { return below ? sub_ + "\\" + below : sub_; }

    bool existsInSystem(const String& subPath)
    {
        kesh::win::RegistryKeyHandle key;
        return RegOpenKeyExW(HKEY_CURRENT_USER, subPath.toWide().get(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
    }

    // Writes raw data the way another program might have.
    void writeRaw(const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        kesh::win::RegistryKeyHandle key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, sub_.toWide().get(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size));
    }

    bool readRaw(const wchar_t* name, DWORD* type, std::vector<BYTE>* data)
    {
        kesh::win::RegistryKeyHandle key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, sub_.toWide().get(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
            return false;
        DWORD size = 0;
        bool ok = RegQueryValueExW(key, name, nullptr, type, nullptr, &size) == ERROR_SUCCESS;
        data->assign(size, 0);
        if (ok && size) ok = RegQueryValueExW(key, name, nullptr, type, data->data(), &size) == ERROR_SUCCESS;
        return ok;
    }

    String sub_;
};

}  // namespace

TEST_F(RegistryKeyTest, PathWithoutRootLiesUnderCurrentUser)
{
    boost::shared_ptr<IRegistryKey> key = openRegistryKey(sub("X\\Y"), false);
    EXPECT_STREQ(("HKEY_CURRENT_USER\\" + sub("X\\Y")).c_str(), key->getPath().c_str());
    EXPECT_FALSE(key->isReadOnly());
    EXPECT_TRUE(existsInSystem(sub("X\\Y")));
}

TEST_F(RegistryKeyTest, RootWordMatchesInAnyCaseAndThePathStaysAsWritten)
{
    const String written = "hkey_CURRENT_user\\" + sub("Z");
    boost::shared_ptr<IRegistryKey> key = openRegistryKey(written, false);
    EXPECT_STREQ(written.c_str(), key->getPath().c_str());
    EXPECT_TRUE(existsInSystem(sub("Z")));
    EXPECT_FALSE(existsInSystem("HKEY_CURRENT_USER\\" + sub("Z")));
}

TEST_F(RegistryKeyTest, OtherRootsOpenTheirOwnTree)
{
    // Compare with what the system itself reads under HKEY_LOCAL_MACHINE.
    kesh::win::RegistryKeyHandle system;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_READ, system.Receive()));
    wchar_t first[260];
    DWORD units = 260;
    ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyExW(system, 0, first, &units, nullptr, nullptr, nullptr, nullptr));

    boost::shared_ptr<IRegistryKey> key = openRegistryKey("hkey_local_machine\\Software", true);
    String name;
    ASSERT_TRUE(key->enumKey(0, &name));
    EXPECT_STREQ(String(first).c_str(), name.c_str());
    EXPECT_STREQ("hkey_local_machine\\Software", key->getPath().c_str());
}

TEST_F(RegistryKeyTest, RootWordWithoutBackslashIsAnOrdinarySubkey)
{
    boost::shared_ptr<IRegistryKey> key = openRegistryKey("HKEY_CURRENT_USER", true);
    EXPECT_STREQ("HKEY_CURRENT_USER\\HKEY_CURRENT_USER", key->getPath().c_str());
}

TEST_F(RegistryKeyTest, MissingKeyOpenedReadOnlyIsNotCreatedAndFailsEverything)
{
    boost::shared_ptr<IRegistryKey> key = openRegistryKey(sub("Missing"), true);
    EXPECT_TRUE(key->isReadOnly());
    EXPECT_FALSE(existsInSystem(sub("Missing")));
    String name = "unchanged";
    EXPECT_STREQ("dflt", key->getValue("v", "dflt").c_str());
    EXPECT_FALSE(key->enumKey(0, &name));
    EXPECT_FALSE(key->enumValue(0, &name));
    EXPECT_FALSE(key->setValue("v", 1));
    EXPECT_FALSE(key->setValue("v", String("x")));
    EXPECT_FALSE(key->deleteValue("v"));
    EXPECT_FALSE(key->deleteKey("k"));
    EXPECT_STREQ("unchanged", name.c_str());
}

TEST_F(RegistryKeyTest, ReadOnlyKeyRefusesWritesWithoutCallingTheSystem)
{
    ASSERT_TRUE(openRegistryKey(sub(), false)->setValue("kept", String("yes")));
    ASSERT_TRUE(openRegistryKey(sub("Child"), false)->setValue("n", 1));
    boost::shared_ptr<IRegistryKey> key = openRegistryKey(sub(), true);
    // A system call would leave its own error code behind.
    const DWORD marker = 0x7E57;
    SetLastError(marker);
    EXPECT_FALSE(key->setValue("kept", String("no")));
    EXPECT_FALSE(key->setValue("new", 5));
    EXPECT_FALSE(key->deleteValue("kept"));
    EXPECT_FALSE(key->deleteKey("Child"));
    EXPECT_EQ(marker, GetLastError());
    EXPECT_STREQ("yes", key->getValue("kept", "").c_str());
    EXPECT_TRUE(existsInSystem(sub("Child")));
}

TEST_F(RegistryKeyTest, AFailedWriteLeavesTheSystemsCodeAsTheLastError)
{
    // A key of a name too long for the system cannot be created.
    const String overlong = sub(std::string(300, 'k').c_str());
    kesh::win::RegistryKeyHandle none;
    const DWORD refused = RegCreateKeyExW(HKEY_CURRENT_USER, overlong.toWide().get(), 0, nullptr, 0,
                                          KEY_ALL_ACCESS, nullptr, none.Receive(), nullptr);
    ASSERT_NE(static_cast<DWORD>(ERROR_SUCCESS), refused);
    const boost::shared_ptr<IRegistryKey> deleted = openRegistryKey(sub("Gone"), false);
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), SHDeleteKeyW(HKEY_CURRENT_USER, sub("Gone").toWide().get()));
    const std::pair<boost::shared_ptr<IRegistryKey>, DWORD> cases[] = {
        {openRegistryKey(overlong, false), refused},  // never opened
        {deleted, static_cast<DWORD>(ERROR_KEY_DELETED)},  // deleted under the object
    };
    for (const auto& c : cases) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(c.first->setValue("n", 1));
        EXPECT_EQ(c.second, GetLastError());
    }
}

namespace {
struct StoredCase {
    const char* what;
    DWORD type;
    std::vector<BYTE> data;
    const char* expected;  // "<default>" when the default must come back
};

std::vector<BYTE> bytesOf(const std::wstring& text, size_t extraUnits = 0, size_t cutBytes = 0)
{
    std::vector<BYTE> out((text.size() + extraUnits) * sizeof(wchar_t), 0);
    memcpy(out.data(), text.data(), text.size() * sizeof(wchar_t));
    out.resize(out.size() - cutBytes);
    return out;
}

std::vector<BYTE> dword(DWORD value)
{
    return std::vector<BYTE>(reinterpret_cast<BYTE*>(&value), reinterpret_cast<BYTE*>(&value) + 4);
}
}  // namespace

TEST_F(RegistryKeyTest, StoredValuesReadAsText)
{
    const StoredCase cases[] = {
        {"text with NUL", REG_SZ, bytesOf(L"abc", 1), "abc"},
        {"text without NUL", REG_SZ, bytesOf(L"abc"), "abc"},
        {"text of size 0", REG_SZ, {}, ""},
        {"odd size", REG_SZ, bytesOf(L"abcd", 0, 1), "abc"},
        {"NUL inside", REG_SZ, bytesOf(std::wstring(L"ab\0cd", 5), 1), "ab"},
        {"unexpanded", REG_EXPAND_SZ, bytesOf(L"%TEMP%\\x", 1), "%TEMP%\\x"},
        {"first of many", REG_MULTI_SZ, bytesOf(std::wstring(L"one\0two\0", 8), 1), "one"},
        {"dword", REG_DWORD, dword(20), "20"},
        {"dword all bits", REG_DWORD, dword(0xFFFFFFFFu), "4294967295"},
        {"short dword", REG_DWORD, {1, 2}, "<default>"},
        {"binary", REG_BINARY, {1, 2, 3}, "<default>"},
        {"qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, "<default>"},
    };
    for (const StoredCase& c : cases) {
        const std::wstring name(c.what, c.what + strlen(c.what));
        writeRaw(name.c_str(), c.type, c.data.empty() ? nullptr : c.data.data(), static_cast<DWORD>(c.data.size()));
    }
    boost::shared_ptr<IRegistryKey> key = openRegistryKey(sub(), true);
    for (const StoredCase& c : cases)
        EXPECT_STREQ(c.expected, key->getValue(c.what, "<default>").c_str()) << c.what;
    EXPECT_STREQ("<default>", key->getValue("not there", "<default>").c_str());
}

TEST_F(RegistryKeyTest, WrittenTextIsStoredWithItsNul)
{
    const String text = "\xE4\xB8\xAD\xE6\x96\x87 text";  // two Chinese characters
    boost::shared_ptr<IRegistryKey> key = openRegistryKey(sub(), false);
    ASSERT_TRUE(key->setValue("t", text));
    ASSERT_TRUE(key->setValue("", String("default value")));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(readRaw(L"t", &type, &data));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ((7u + 1u) * 2u, data.size());
    EXPECT_STREQ(text.c_str(), key->getValue("t", "").c_str());
    ASSERT_TRUE(readRaw(nullptr, &type, &data));
    EXPECT_STREQ("default value", key->getValue("", "").c_str());
}

TEST_F(RegistryKeyTest, WrittenNumbersReadBackAsUnsignedText)
{
    boost::shared_ptr<IRegistryKey> key = openRegistryKey(sub(), false);
    ASSERT_TRUE(key->setValue("twenty", 20));
    ASSERT_TRUE(key->setValue("minus", -1));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(readRaw(L"minus", &type, &data));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(4u, data.size());
    EXPECT_STREQ("20", key->getValue("twenty", "").c_str());
    EXPECT_STREQ("4294967295", key->getValue("minus", "").c_str());
    EXPECT_EQ(2147483647L, key->getValue("minus", "").toLong(10));
    EXPECT_EQ(4294967295UL, key->getValue("minus", "").toULong(10));
}

TEST_F(RegistryKeyTest, EnumerationStopsPastTheLastAndAtOverlongNames)
{
    boost::shared_ptr<IRegistryKey> key = openRegistryKey(sub(), false);
    openRegistryKey(sub("alpha"), false);
    openRegistryKey(sub("beta"), false);
    ASSERT_TRUE(key->setValue("v", 1));

    std::vector<std::string> keys;
    String name;
    for (unsigned i = 0; key->enumKey(i, &name); ++i)
        keys.push_back(name.c_str());
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ((std::vector<std::string>{"alpha", "beta"}), keys);
    name = "unchanged";
    EXPECT_FALSE(key->enumKey(2, &name));
    EXPECT_STREQ("unchanged", name.c_str());

    ASSERT_TRUE(key->enumValue(0, &name));
    EXPECT_STREQ("v", name.c_str());
    EXPECT_FALSE(key->enumValue(1, &name));

    // A value name of 300 units does not fit the 260-unit buffer.
    boost::shared_ptr<IRegistryKey> longNames = openRegistryKey(sub("long"), false);
    ASSERT_TRUE(longNames->setValue(String(std::string(300, 'n').c_str()), 1));
    name = "unchanged";
    EXPECT_FALSE(longNames->enumValue(0, &name));
    EXPECT_STREQ("unchanged", name.c_str());
}

TEST_F(RegistryKeyTest, DeletionRemovesValuesAndWholeSubtrees)
{
    boost::shared_ptr<IRegistryKey> key = openRegistryKey(sub(), false);
    openRegistryKey(sub("tree\\deeper\\deepest"), false)->setValue("x", 1);
    ASSERT_TRUE(key->setValue("v", 1));

    EXPECT_TRUE(key->deleteValue("v"));
    EXPECT_FALSE(key->deleteValue("v"));
    EXPECT_STREQ("gone", key->getValue("v", "gone").c_str());
    EXPECT_TRUE(key->deleteKey("tree"));
    EXPECT_FALSE(existsInSystem(sub("tree")));
    EXPECT_FALSE(key->deleteKey("tree"));
}
