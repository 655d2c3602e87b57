#pragma once

#include "kesh/string.h"

#include <windows.h>

#include <vector>

// One installed GDI+ codec. Entries are values; copies share the texts.
struct ImageCodecEntry {
    CLSID clsid = {};
    kesh::String description;  // the codec's format description
    kesh::String extensions;   // patterns such as "*.JPG;*.JPEG", ";"-separated
};

// Replaces out's content with one entry per installed GDI+ image decoder, in
// the order GDI+ reports them; empty when GDI+ has no codec information.
void ListImageDecoders(std::vector<ImageCodecEntry>& out);

// Fills out from the first GDI+ encoder whose format id equals format and
// returns true. Without such an encoder, out is left untouched and the
// result is false.
bool FindImageEncoder(ImageCodecEntry& out, const GUID& format);

// The two pieces of the File Open filter (a format text of the shape
// "... %s|%s|..."): the entry of all supported formats, "(" + all patterns +
// ")|" + all patterns, and one "description (patterns)|patterns" entry per
// decoder joined by "|". Patterns are lower-cased.
struct OpenFilterPieces {
    kesh::String allFormats;
    kesh::String eachFormat;
};
OpenFilterPieces MakeOpenFilterPieces(const std::vector<ImageCodecEntry>& decoders);

// The Save As filter of one encoder: description + "(" + patterns + ")|" +
// patterns + "||", patterns lower-cased (no blank before the bracket).
kesh::String MakeSaveAsFilter(const ImageCodecEntry& encoder);

// The first pattern of the encoder without its "*.", lower-cased ("jpg");
// empty when the entry has no pattern.
kesh::String MakeSaveAsDefaultExtension(const ImageCodecEntry& encoder);

// Holds GDI+ started for the life of the object (the program, a test run or
// a bench). ok() is false when GdiplusStartup failed.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};
