#include "editor/pen_settings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// Values as the registry hands them over: a DWORD comes back as unsigned
// decimal text, a text value as it is.
class MemoryValues : public ISettingsValues {
public:
    kesh::String getValue(const char* name, const kesh::String& defaultText) const override
    {
        const auto found = values_.find(name);
        return found == values_.end() ? defaultText : kesh::String(found->second.c_str());
    }
    bool setValue(const char* name, int value) override
    {
        values_[name] = kesh::String(static_cast<unsigned>(value), 10).c_str();
        return true;
    }
    void setText(const char* name, const char* text) { values_[name] = text; }
    const std::map<std::string, std::string>& all() const { return values_; }

private:
    std::map<std::string, std::string> values_;
};

void ExpectTriple(const PenTriple& expected, const PenTriple& actual, const char* what)
{
    EXPECT_EQ(expected.colour, actual.colour) << what;
    EXPECT_EQ(expected.width, actual.width) << what;
    EXPECT_EQ(expected.strength, actual.strength) << what;
}

TEST(PenSettingsTest, FirstRunGivesTheDefaults)
{
    MemoryValues none;
    PenSettings settings;
    settings.Load(none);
    ExpectTriple({0, 1, 1}, settings.customPencil, "custom pencil");
    ExpectTriple({0, 15, 1}, settings.customMosaic, "custom mosaic");
    ExpectTriple({0, 1, 1}, settings.hand, "hand");
    ExpectTriple({0, 1, 1}, settings.pencil, "pencil: black, 1 pixel");
    ExpectTriple({0xFF0000, 15, 1}, settings.highlighter, "highlighter: yellow, 15 pixels");
    ExpectTriple({0, 15, 1}, settings.mosaic, "mosaic");
}

TEST(PenSettingsTest, StoredValuesFeedTheirFieldsAndTextWithoutANumberReadsAsZero)
{
    MemoryValues stored;
    stored.setText("cusPencilWidth", "7");
    stored.setText("cusPencilColor", "255");
    stored.setText("cusMosaicStrength", "40");
    stored.setText("pencilWidth", "3");
    stored.setText("pencilColor", "4294967295");
    stored.setText("nwpenWidth", "20");
    stored.setText("nwpenColor", "abc");
    stored.setText("mosaicStrength", "9");
    PenSettings settings;
    settings.Load(stored);
    ExpectTriple({255, 7, 1}, settings.customPencil, "custom pencil");
    ExpectTriple({0, 15, 40}, settings.customMosaic, "custom mosaic");
    ExpectTriple({0xFFFFFFFFu, 3, 1}, settings.pencil, "pencil");
    ExpectTriple({0, 20, 1}, settings.highlighter, "highlighter");
    ExpectTriple({0, 15, 9}, settings.mosaic, "mosaic");
    ExpectTriple({0, 1, 1}, settings.hand, "hand");
}

TEST(PenSettingsTest, LoadResetsFieldsThatAreNotStored)
{
    PenSettings settings;
    settings.mosaic = {123, 44, 5};
    settings.hand = {9, 9, 9};
    settings.pencil.strength = 8;
    MemoryValues none;
    settings.Load(none);
    ExpectTriple({0, 15, 1}, settings.mosaic, "mosaic");
    ExpectTriple({0, 1, 1}, settings.hand, "hand");
    EXPECT_EQ(1, settings.pencil.strength);
}

TEST(PenSettingsTest, SaveWritesTheEightValuesAndLoadGivesThemBack)
{
    PenSettings saved;
    MemoryValues none;
    saved.Load(none);
    saved.customPencil = {RGB(1, 2, 3), 12, 1};
    saved.customMosaic.strength = 77;
    saved.pencil = {0x80FF0000u, 4, 1};
    saved.highlighter = {0x00FF00, 30, 1};
    saved.mosaic.strength = 4;
    MemoryValues values;
    saved.Save(values);

    const std::map<std::string, std::string> expected = {
        {"cusPencilWidth", "12"},      {"cusPencilColor", "197121"}, {"cusMosaicStrength", "77"},
        {"pencilWidth", "4"},          {"pencilColor", "2164195328"}, {"nwpenWidth", "30"},
        {"nwpenColor", "65280"},       {"mosaicStrength", "4"},
    };
    EXPECT_EQ(expected, values.all());

    PenSettings loaded;
    loaded.Load(values);
    EXPECT_EQ(0, memcmp(&saved, &loaded, sizeof(saved)));
}

TEST(PenSettingsTest, ForKindGivesTheKindsTripleByReference)
{
    PenSettings settings;
    MemoryValues none;
    settings.Load(none);
    EXPECT_EQ(&settings.hand, &settings.ForKind(0));
    EXPECT_EQ(&settings.pencil, &settings.ForKind(1));
    EXPECT_EQ(&settings.highlighter, &settings.ForKind(2));
    EXPECT_EQ(&settings.mosaic, &settings.ForKind(3));
    settings.ForKind(1).width = 6;
    EXPECT_EQ(6, settings.pencil.width);
}

TEST(PenSettingsTest, OtherKindsAlwaysGiveThePlainTriple)
{
    PenSettings settings;
    MemoryValues none;
    settings.Load(none);
    for (int kind : {4, -1, 1000}) {
        PenTriple& other = settings.ForKind(kind);
        ExpectTriple({0, 1, 1}, other, "other kind");
        other.width = 99;  // a careless caller
    }
    ExpectTriple({0, 1, 1}, settings.ForKind(4), "after a change");
}

TEST(PenSettingsTest, HighlighterValueIsTheComplementOfTheShownColour)
{
    EXPECT_EQ(0xFF0000u, HighlighterValue(RGB(255, 255, 0)));  // yellow
    EXPECT_EQ(0x00FF00u, HighlighterValue(RGB(255, 0, 255)));  // purple
    EXPECT_EQ(0x0000FFu, HighlighterValue(RGB(0, 255, 255)));  // cyan
    EXPECT_EQ(static_cast<COLORREF>(RGB(255, 255, 0)), HighlighterShownColour(0xFF0000));
}

}  // namespace
