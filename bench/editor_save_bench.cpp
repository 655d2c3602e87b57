// Saving a 4K edited image: the whole save as PNG and as JPEG, the part of
// it spent before the encoder runs (encoder lookup and conversion of the
// GDI bitmap to the encoder's bitmap) and the part spent reading the written
// file back, which every save does before it counts. Goal: conversion under
// 20 ms for 3840x2160.
#include "bench/bench_report.h"
#include "bench/bench_timer.h"
#include "bench/screen_like.h"
#include "common/image_codecs.h"
#include "common/image_formats.h"
#include "common/packed_dib.h"
#include "editor/io/image_loader.h"
#include "editor/io/image_saver.h"
#include "kesh/handles.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

using bench::bestOf;
using bench::nowMs;
using bench::timed;

kesh::String tempFile(const char* name)
{
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    return kesh::String(temp) + "editor_save_bench_" + kesh::String(static_cast<unsigned>(GetCurrentProcessId()), 10) +
           "_" + name;
}

// The time spent before the encoder, or kNotMeasured when the save failed.
double report(const char* label, HBITMAP bitmap, const GUID& format, const char* file, const char* figure)
{
    const kesh::String path = tempFile(file);
    const double lookup = bestOf(5, [&] {
        ImageCodecEntry entry;
        FindImageEncoder(entry, format);
    });
    const double convert = bestOf(5, [&] { BitmapFromHBITMAP(bitmap); });
    bool saved = true;
    const double total = bestOf(3, [&] {
        saved = saved && SaveBitmapAsImage(bitmap, path, 90, format) == SaveImageResult::Saved;
    });
    BITMAP size = {};
    GetObjectW(bitmap, sizeof(size), &size);
    bool readBack = saved;
    const double reading = bestOf(3, [&] {
        readBack = readBack && ReadsBackAs(path, SIZE{size.bmWidth, size.bmHeight}, format);
    });
    DeleteFileW(path.toWide().get());
    const double outside = lookup + convert;
    std::printf("%-28s save %7.1f ms   lookup %6.3f ms   conversion %6.3f ms   outside the encoder %5.2f %%   "
                "reading back %6.1f ms%s\n",
                label, total, lookup, convert, 100.0 * outside / total, reading, saved ? "" : "   (SAVE FAILED)");
    if (figure) {
        bench::reference(std::string("save: ") + figure + ", 4K", saved ? total : bench::kNotMeasured, "ms");
        bench::reference(std::string("save: reading the ") + figure + " back (within the save), 4K",
                         readBack ? reading : bench::kNotMeasured, "ms");
    }
    return saved ? outside : bench::kNotMeasured;
}

}  // namespace

int main()
{
    GdiplusSession gdiplus;
    if (!gdiplus.ok()) {
        std::printf("GDI+ did not start\n");
        return 1;
    }
    const int width = 3840;
    const int height = 2160;
    const kesh::win::Bitmap bottomUp = bench::MakeScreenLikeSection(width, height, false);
    const kesh::win::Bitmap topDown = bench::MakeScreenLikeSection(width, height, true);
    if (!bottomUp.isValid() || !topDown.isValid()) {
        std::printf("no 4K section\n");
        return 1;
    }
    std::printf("Saving a %dx%d 32-bit DIB section (best of runs). Goal: conversion < 20 ms.\n", width, height);
    const double outside[] = {
        report("PNG, bottom-up section", bottomUp, kImageFormatPNG, "out.png", "PNG"),
        report("JPEG, bottom-up section", bottomUp, kImageFormatJPEG, "out.jpg", "JPEG"),
        report("PNG, top-down section", topDown, kImageFormatPNG, "out_td.png", nullptr),
        report("JPEG, top-down section", topDown, kImageFormatJPEG, "out_td.jpg", nullptr),
    };
    // A failed save (NaN) makes the worst NaN too: not measured.
    double worst = 0;
    for (double t : outside)
        worst = std::isnan(t) || std::isnan(worst) ? bench::kNotMeasured : std::max(worst, t);
    bench::figure("save: before the encoder, 4K, worst of four", worst, "ms", 20, bench::Better::Lower);

    const double readDib = bestOf(5, [&] {
        PackedDib dib;
        dib.read(bottomUp);
    });
    std::printf("Reading the section for the clipboard block: %.2f ms (bottom-up)\n", readDib);
    const double readTopDown = bestOf(5, [&] {
        PackedDib dib;
        dib.read(topDown);
    });
    std::printf("Reading the section for the clipboard block: %.2f ms (top-down, row order found from pixels)\n",
                readTopDown);
    return 0;
}
