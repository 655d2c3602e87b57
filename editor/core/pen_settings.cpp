#include "editor/core/pen_settings.h"

// Ahead of the program's own statics (default priority), after the
// library's (101 to 109).
const kesh::String kSettingsKeyPath __attribute__((init_priority(200)))("HKEY_CURRENT_USER\\Software\\NorpaSoft\\vomla");

namespace {

const PenTriple kPlainTriple = {0, 1, 1};
const int kMosaicBrushWidth = 15;

long readLong(kesh::app::IRegistryKey& key, const char* name, int defaultValue)
{
    return key.getValue(name, kesh::String(defaultValue, 10)).toLong(10);
}

COLORREF readColour(kesh::app::IRegistryKey& key, const char* name, unsigned defaultValue)
{
    return static_cast<COLORREF>(key.getValue(name, kesh::String(defaultValue, 10)).toULong(10));
}

}  // namespace

void PenSettings::Load()
{
    Load(*kesh::app::openRegistryKey(kSettingsKeyPath, true));
}

void PenSettings::Save() const
{
    Save(*kesh::app::openRegistryKey(kSettingsKeyPath, false));
}

void PenSettings::Load(kesh::app::IRegistryKey& values)
{
    customPencil = customMosaic = hand = pencil = highlighter = mosaic = kPlainTriple;

    customPencil.width = static_cast<int>(readLong(values, "cusPencilWidth", 1));
    customPencil.colour = readColour(values, "cusPencilColor", 0);
    customMosaic.width = kMosaicBrushWidth;
    customMosaic.strength = static_cast<int>(readLong(values, "cusMosaicStrength", 1));
    pencil.width = static_cast<int>(readLong(values, "pencilWidth", 1));
    pencil.colour = readColour(values, "pencilColor", 0);
    highlighter.width = static_cast<int>(readLong(values, "nwpenWidth", 15));
    highlighter.colour = readColour(values, "nwpenColor", 0xFF0000u);
    mosaic.width = kMosaicBrushWidth;
    mosaic.strength = static_cast<int>(readLong(values, "mosaicStrength", 1));
}

void PenSettings::Save(kesh::app::IRegistryKey& values) const
{
    const struct {
        const char* name;
        int value;
    } stored[] = {
        {"cusPencilWidth", customPencil.width},
        {"cusPencilColor", static_cast<int>(customPencil.colour)},
        {"cusMosaicStrength", customMosaic.strength},
        {"pencilWidth", pencil.width},
        {"pencilColor", static_cast<int>(pencil.colour)},
        {"nwpenWidth", highlighter.width},
        {"nwpenColor", static_cast<int>(highlighter.colour)},
        {"mosaicStrength", mosaic.strength},
    };
    for (const auto& setting : stored)
        values.setValue(setting.name, setting.value);
}

PenTriple& PenSettings::ForKind(int kind)
{
    switch (kind) {
    case 0: return hand;
    case 1: return pencil;
    case 2: return highlighter;
    case 3: return mosaic;
    default: break;
    }
    static PenTriple other = kPlainTriple;
    other = kPlainTriple;
    return other;
}
