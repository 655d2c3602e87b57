#include "editor/core/pen_settings.h"
#include "kesh/handles.h"
#include "tests/registry_cleanup.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <map>
#include <string>

using kesh::String;
using kesh::app::IRegistryKey;
using kesh::app::openRegistryKey;

namespace {

void ExpectTriple(const PenTriple& expected, const PenTriple& actual, const char* what)
{
    EXPECT_EQ(expected.colour, actual.colour) << what;
    EXPECT_EQ(expected.width, actual.width) << what;
    EXPECT_EQ(expected.strength, actual.strength) << what;
}

// Every test reads and writes a key of its own under HKCU\Software\NorpaTest,
// removed afterwards.
class PenSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        sub_ = String::format("Software\\NorpaTest\\%s.%lu.%lu", info->name(), GetCurrentProcessId(), GetTickCount());
        SHDeleteKeyW(HKEY_CURRENT_USER, sub_.toWide().get());
    }
    void TearDown() override { testsupport::DeleteKeyAndEmptyParents(sub_.toWide().get()); }

    boost::shared_ptr<IRegistryKey> key(bool readOnly) const
    {
        return openRegistryKey(String("HKEY_CURRENT_USER\\") + sub_, readOnly);
    }
    bool keyExists() const
    {
        kesh::win::RegistryKeyHandle handle;
        return RegOpenKeyExW(HKEY_CURRENT_USER, sub_.toWide().get(), 0, KEY_READ, handle.Receive()) == ERROR_SUCCESS;
    }
    PenSettings loaded() const
    {
        PenSettings settings;
        settings.Load(*key(true));
        return settings;
    }

    String sub_;
};

TEST_F(PenSettingsTest, FirstRunGivesTheDefaultsAndCreatesNoKey)
{
    const PenSettings settings = loaded();
    EXPECT_FALSE(keyExists());
    ExpectTriple({0, 1, 1}, settings.customPencil, "custom pencil");
    ExpectTriple({0, 15, 1}, settings.customMosaic, "custom mosaic");
    ExpectTriple({0, 1, 1}, settings.hand, "hand");
    ExpectTriple({0, 1, 1}, settings.pencil, "pencil: black, 1 pixel");
    ExpectTriple({0xFF0000, 15, 1}, settings.highlighter, "highlighter: yellow, 15 pixels");
    ExpectTriple({0, 15, 1}, settings.mosaic, "mosaic");
}

TEST_F(PenSettingsTest, StoredValuesFeedTheirFieldsAndTextWithoutANumberReadsAsZero)
{
    {
        boost::shared_ptr<IRegistryKey> stored = key(false);
        stored->setValue("cusPencilWidth", 7);
        stored->setValue("cusPencilColor", 255);
        stored->setValue("cusMosaicStrength", String("40"));
        stored->setValue("pencilWidth", String("3"));
        stored->setValue("pencilColor", -1);
        stored->setValue("nwpenWidth", 20);
        stored->setValue("nwpenColor", String("abc"));
        stored->setValue("mosaicStrength", 9);
        stored->setValue("mosaicWidth", 40);  // not a setting: the width stays fixed
    }
    const PenSettings settings = loaded();
    ExpectTriple({255, 7, 1}, settings.customPencil, "custom pencil");
    ExpectTriple({0, 15, 40}, settings.customMosaic, "custom mosaic");
    ExpectTriple({0xFFFFFFFFu, 3, 1}, settings.pencil, "pencil");
    ExpectTriple({0, 20, 1}, settings.highlighter, "highlighter");
    ExpectTriple({0, 15, 9}, settings.mosaic, "mosaic");
    ExpectTriple({0, 1, 1}, settings.hand, "hand");
}

TEST_F(PenSettingsTest, LoadResetsFieldsThatAreNotStored)
{
    PenSettings settings;
    settings.mosaic = {123, 44, 5};
    settings.hand = {9, 9, 9};
    settings.pencil.strength = 8;
    settings.Load(*key(true));
    ExpectTriple({0, 15, 1}, settings.mosaic, "mosaic");
    ExpectTriple({0, 1, 1}, settings.hand, "hand");
    EXPECT_EQ(1, settings.pencil.strength);
}

TEST_F(PenSettingsTest, SaveWritesTheEightDwordsAndLoadGivesThemBack)
{
    PenSettings saved = loaded();
    saved.customPencil = {RGB(1, 2, 3), 12, 1};
    saved.customMosaic.strength = 77;
    saved.pencil = {0x80FF0000u, 4, 1};
    saved.highlighter = {0x00FF00, 30, 1};
    saved.mosaic.strength = 4;
    saved.Save(*key(false));
    ASSERT_TRUE(keyExists());

    const std::map<std::string, DWORD> expected = {
        {"cusPencilWidth", 12},      {"cusPencilColor", 197121}, {"cusMosaicStrength", 77},
        {"pencilWidth", 4},          {"pencilColor", 0x80FF0000u}, {"nwpenWidth", 30},
        {"nwpenColor", 0x00FF00},    {"mosaicStrength", 4},
    };
    std::map<std::string, DWORD> written;
    kesh::win::RegistryKeyHandle handle;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, sub_.toWide().get(), 0, KEY_READ, handle.Receive()));
    for (DWORD index = 0;; ++index) {
        char name[64];
        DWORD nameLength = sizeof(name), type = 0, value = 0, size = sizeof(value);
        if (RegEnumValueA(handle, index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS)
            break;
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type) << name;
        written[name] = value;
    }
    EXPECT_EQ(expected, written);

    const PenSettings back = loaded();
    EXPECT_EQ(0, memcmp(&saved, &back, sizeof(saved)));
}

TEST_F(PenSettingsTest, ForKindGivesTheKindsTripleByReference)
{
    PenSettings settings = loaded();
    EXPECT_EQ(&settings.hand, &settings.ForKind(0));
    EXPECT_EQ(&settings.pencil, &settings.ForKind(1));
    EXPECT_EQ(&settings.highlighter, &settings.ForKind(2));
    EXPECT_EQ(&settings.mosaic, &settings.ForKind(3));
    settings.ForKind(1).width = 6;
    EXPECT_EQ(6, settings.pencil.width);
}

TEST_F(PenSettingsTest, OtherKindsAlwaysGiveThePlainTriple)
{
    PenSettings settings = loaded();
    for (int kind : {4, -1, 1000}) {
        PenTriple& other = settings.ForKind(kind);
        ExpectTriple({0, 1, 1}, other, "other kind");
        other.width = 99;  // a careless caller
    }
    ExpectTriple({0, 1, 1}, settings.ForKind(4), "after a change");
}

TEST(HighlighterValueTest, IsTheComplementOfTheShownColour)
{
    EXPECT_EQ(0xFF0000u, HighlighterValue(RGB(255, 255, 0)));  // yellow
    EXPECT_EQ(0x00FF00u, HighlighterValue(RGB(255, 0, 255)));  // purple
    EXPECT_EQ(0x0000FFu, HighlighterValue(RGB(0, 255, 255)));  // cyan
    EXPECT_EQ(static_cast<COLORREF>(RGB(255, 255, 0)), HighlighterShownColour(0xFF0000));
}

TEST(PenSettingsKeyTest, IsTheEditorsKey)
{
    EXPECT_STREQ("HKEY_CURRENT_USER\\Software\\NorpaSoft\\vomla", kSettingsKeyPath.c_str());
}

}  // namespace
