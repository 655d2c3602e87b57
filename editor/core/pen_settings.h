#pragma once

#include "kesh/registry.h"
#include "kesh/string.h"

#include <windows.h>

// The values handed to a pen when a stroke starts.
struct PenTriple {
    COLORREF colour;  // 0x00BBGGRR
    int width;        // pixels
    int strength;     // mosaic strength
};
static_assert(sizeof(PenTriple) == 12, "three 32-bit fields");

// The registry key of every editor setting:
// "HKEY_CURRENT_USER\Software\NorpaSoft\vomla". Built ahead of the
// program's own static objects.
extern const kesh::String kSettingsKeyPath;

// The drawing tools' values. The highlighter's colour is kept as the
// complement of the colour the user sees, because the highlighter draws
// with R2_MASKNOTPEN: the value 0xFF0000 shows as yellow.
struct PenSettings {
    PenTriple customPencil;  // the custom items of the pencil pop-up
    PenTriple customMosaic;  // the custom item of the mosaic pop-up
    PenTriple hand;          // kind 0
    PenTriple pencil;        // kind 1
    PenTriple highlighter;   // kind 2
    PenTriple mosaic;        // kind 3

    // Fills the whole record from the key at kSettingsKeyPath, which is not
    // created: the stored values (DWORD or decimal text), their defaults
    // where nothing readable is stored, and the fixed fields. A value that
    // holds no number reads as 0.
    void Load();
    void Load(kesh::app::IRegistryKey& key);

    // Writes the eight stored values as DWORDs, bits unchanged, into the key
    // at kSettingsKeyPath, created when missing. A value that cannot be
    // written is logged and not otherwise reported: the next Load gives the
    // defaults or the older values.
    void Save() const;
    void Save(kesh::app::IRegistryKey& key) const;

    // The triple a stroke of this kind takes, as a reference into the
    // record. Any other kind gives a shared triple {0, 1, 1}, reset on each
    // call so that a caller changing it cannot change what the next one sees.
    PenTriple& ForKind(int kind);
};
static_assert(sizeof(PenSettings) == 72, "six triples, 18 ints");

// The value stored for a highlighter colour the user sees, and back.
inline COLORREF HighlighterValue(COLORREF shown) { return ~shown & 0x00FFFFFFu; }
inline COLORREF HighlighterShownColour(COLORREF value) { return ~value & 0x00FFFFFFu; }
