#include "common/image_codecs.h"

#include "common/image_formats.h"
#include "kesh/failure_log.h"

#include <gdiplus.h>

#include <functional>

namespace {

using Gdiplus::ImageCodecInfo;

// Reads one of GDI+'s codec lists into a buffer of its own and hands each
// record to visit until visit returns false. A list GDI+ cannot report (or
// reports as failed) visits nothing: its buffer would hold no records.
template <class SizeFn, class ListFn>
void VisitCodecs(SizeFn sizeOf, ListFn list, const std::function<bool(const ImageCodecInfo&)>& visit)
{
    UINT count = 0;
    UINT bytes = 0;
    if (sizeOf(&count, &bytes) != Gdiplus::Ok || count == 0 || bytes < count * sizeof(ImageCodecInfo)) return;
    // Records first, then the texts they point to; the buffer is aligned for
    // the records because it is allocated as an array of them.
    std::vector<ImageCodecInfo> buffer((bytes + sizeof(ImageCodecInfo) - 1) / sizeof(ImageCodecInfo));
    if (list(count, bytes, buffer.data()) != Gdiplus::Ok) return;
    for (UINT i = 0; i < count; ++i) {
        if (!visit(buffer[i])) return;
    }
}

ImageCodecEntry EntryOf(const ImageCodecInfo& info)
{
    ImageCodecEntry entry;
    entry.clsid = info.Clsid;
    entry.description = kesh::String(info.FormatDescription);
    entry.extensions = kesh::String(info.FilenameExtension);
    return entry;
}

}  // namespace

void ListImageDecoders(std::vector<ImageCodecEntry>& out)
{
    out.clear();
    VisitCodecs(Gdiplus::DllExports::GdipGetImageDecodersSize, Gdiplus::DllExports::GdipGetImageDecoders,
                [&](const ImageCodecInfo& info) {
                    out.push_back(EntryOf(info));
                    return true;
                });
}

bool FindImageEncoder(ImageCodecEntry& out, const GUID& format)
{
    bool found = false;
    VisitCodecs(Gdiplus::DllExports::GdipGetImageEncodersSize, Gdiplus::DllExports::GdipGetImageEncoders,
                [&](const ImageCodecInfo& info) {
                    if (!SameFormat(info.FormatID, format)) return true;
                    out = EntryOf(info);
                    found = true;
                    return false;
                });
    return found;
}

OpenFilterPieces MakeOpenFilterPieces(const std::vector<ImageCodecEntry>& decoders)
{
    kesh::String all;
    kesh::String list;
    for (const ImageCodecEntry& decoder : decoders) {
        const kesh::String patterns = decoder.extensions.toLowerCopy();
        if (!all.isEmpty()) all.append(";");
        all.append(patterns.c_str());
        if (!list.isEmpty()) list.append("|");
        list = list + decoder.description + " (" + patterns + ")|" + patterns;
    }
    OpenFilterPieces pieces;
    pieces.allFormats = "(" + all + ")|" + all;
    pieces.eachFormat = list;
    return pieces;
}

kesh::String MakeSaveAsFilter(const ImageCodecEntry& encoder)
{
    const kesh::String patterns = encoder.extensions.toLowerCopy();
    return encoder.description + "(" + patterns + ")|" + patterns + "||";
}

kesh::String MakeSaveAsDefaultExtension(const ImageCodecEntry& encoder)
{
    const kesh::StringArray pieces = encoder.extensions.split(';');
    if (pieces.isEmpty()) return kesh::String();
    kesh::String first = pieces.at(0);
    first.replace("*.", "");
    return first.toLower();
}

void LogGdiplusFailure(const char* call, int status, const kesh::String& subject)
{
    const DWORD lastError = GetLastError();
    const kesh::String what = subject.isEmpty() ? kesh::String::format("GDI+ status %d", status)
                                                : kesh::String::format("GDI+ status %d, %s", status, subject.c_str());
    kesh::logError(call, status == Gdiplus::Win32Error ? lastError : ERROR_SUCCESS, what.c_str());
    SetLastError(lastError);
}

GdiplusSession::GdiplusSession()
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) token_ = token;
}

GdiplusSession::~GdiplusSession()
{
    if (token_ != 0) Gdiplus::GdiplusShutdown(token_);
}
