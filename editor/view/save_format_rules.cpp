#include "editor/view/save_format_rules.h"

#include "common/image_codecs.h"
#include "common/image_formats.h"

int PresetIndexForQuality(int quality)
{
    for (int i = kQualityPresetCount - 1; i >= 0; --i) {
        if (kQualityPresets[i].value <= quality) return i;
    }
    return 0;
}

int QualityFromStoredText(const kesh::String& text)
{
    return static_cast<int>(text.toLong(10));
}

std::vector<OfferedSaveFormat> ListOfferedSaveFormats()
{
    std::vector<OfferedSaveFormat> offered;
    for (const GUID& format : kSaveFormats) {
        ImageCodecEntry encoder;
        if (FindImageEncoder(encoder, format)) offered.push_back(OfferedSaveFormat{&format, encoder.description});
    }
    return offered;
}

int InitialFormatIndex(const std::vector<OfferedSaveFormat>& offered, const GUID& wanted)
{
    for (std::size_t i = 0; i < offered.size(); ++i) {
        if (SameFormat(*offered[i].format, wanted)) return static_cast<int>(i);
    }
    return 0;
}

bool QualityControlsEnabled(const GUID& selectedFormat)
{
    return SameFormat(selectedFormat, kImageFormatJPEG);
}

int DefaultButtonId(bool allowSkip)
{
    return allowSkip ? IDC_SAVE_SKIP : IDOK;
}

bool StoresQuality(SaveFormatDlgEnd end)
{
    return end == SaveFormatDlgEnd::Ok;
}
