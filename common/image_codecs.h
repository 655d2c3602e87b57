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

// Logs a GDI+ call that failed with status (a Gdiplus::Status) on subject
// (a file path; may be empty) through kesh/failure_log.h. GDI+ numbers its
// failures itself: only when it says Win32Error does the system's last
// error tell why, and only then is that error logged. Call it at once after
// the failing call; the last error is left as it was.
void LogGdiplusFailure(const char* call, int status, const kesh::String& subject);

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
