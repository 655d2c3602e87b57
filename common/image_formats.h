#pragma once

#include <windows.h>

// The GDI+ image-format ids the editor names, and the two format tables.
// Plain constant data: no start-up order to care about, one address each.

inline constexpr GUID kImageFormatBMP = {0xb96b3cab, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID kImageFormatJPEG = {0xb96b3cae, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID kImageFormatPNG = {0xb96b3caf, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID kImageFormatGIF = {0xb96b3cb0, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID kImageFormatTIFF = {0xb96b3cb1, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
inline constexpr GUID kImageFormatIcon = {0xb96b3cb5, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

// The JPEG encoder's quality parameter (a Long from 0 to 100).
inline constexpr GUID kEncoderQuality = {0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};

// What the save-format dialog offers, in its list order.
inline constexpr GUID kSaveFormats[] = {kImageFormatJPEG, kImageFormatPNG};

// Formats whose unchanged file may be copied byte for byte instead of being
// encoded again.
inline constexpr GUID kKeepableFormats[] = {kImageFormatJPEG, kImageFormatPNG, kImageFormatGIF};

// All 16 bytes compared.
bool SameFormat(const GUID& a, const GUID& b);

// True when format is one of kKeepableFormats.
bool CanKeepOriginalFormat(const GUID& format);
