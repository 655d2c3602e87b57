#pragma once

// What the save-format dialog (IDD_SAVE_FORMAT) decides without a window:
// the quality presets and how they follow the quality, which formats it lists, which
// controls are enabled, which button is the default and when the quality is
// stored.

#include "editor/resource.h"
#include "kesh/string.h"

#include <windows.h>

#include <vector>

// The quality is a JPEG quality from 0 to 100 (also the slider's range).
constexpr int kQualityMin = 0;
constexpr int kQualityMax = 100;

// Where the last confirmed quality is kept, under the editor's settings key,
// and what it reads as before the first OK.
constexpr const char* kJpegQualityValueName = "jpegQuality";
constexpr const char* kDefaultJpegQualityText = "90";

struct QualityPreset {
    const wchar_t* text;
    int value;
};
// In list order, rising values.
inline constexpr QualityPreset kQualityPresets[] = {
    {L"低", 20},
    {L"中", 50},
    {L"高", 90},
    {L"最高", 100},
};
constexpr int kQualityPresetCount = static_cast<int>(sizeof(kQualityPresets) / sizeof(kQualityPresets[0]));

// The preset that shows for a quality: the highest whose value is at most
// quality, the first when quality is below all of them (95 -> "高",
// 19 -> "低").
int PresetIndexForQuality(int quality);

// The quality as stored text reads (base 10). A stored value outside 0 to
// 100 is taken unchanged; the dialog's validation reports it.
int QualityFromStoredText(const kesh::String& text);

// One entry of the format list: a format of kSaveFormats whose encoder is
// installed, with the encoder's description. format points into
// kSaveFormats, so it can serve as the item's data.
struct OfferedSaveFormat {
    const GUID* format;
    kesh::String description;
};
std::vector<OfferedSaveFormat> ListOfferedSaveFormats();

// The item to select first: the first offering wanted, else item 0.
int InitialFormatIndex(const std::vector<OfferedSaveFormat>& offered, const GUID& wanted);

// The quality edit, slider and presets are used only for JPEG.
bool QualityControlsEnabled(const GUID& selectedFormat);

// The button Enter presses: the skip button while skipping is allowed, else
// OK. The skip button is the template's default, so without skip both the
// button style and the dialog's default id must move to OK, or Enter would
// go to a disabled button and do nothing.
int DefaultButtonId(bool allowSkip);

// How the dialog ended, and whether that stores the quality: only OK does.
enum class SaveFormatDlgEnd { Ok, Skip, Cancel };
bool StoresQuality(SaveFormatDlgEnd end);
