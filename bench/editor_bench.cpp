// Editor figures on a 3840 x 2160 image. Goals: an undo rebuild with 15
// mixed strokes under 150 ms; each pen's cost per mouse move under 1 ms, the
// mosaic's reduced copy made once per stroke; rebuilding the display reuses
// its bitmap (a copy at memory speed).
#include "bench/bench_report.h"
#include "bench/bench_timer.h"
#include "bench/screen_like.h"
#include "editor/core/bitmap.h"
#include "editor/core/pen.h"
#include "editor/core/stroke_history.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using bench::bestOf;
using bench::nowMs;
using bench::timed;

// Drawing counts only once GDI has done it.
template <class F>
double bestOfDrawn(int runs, F f)
{
    return bench::bestOf(runs, [&] {
        f();
        GdiFlush();
    });
}

const int kWidth = 3840;
const int kHeight = 2160;

// A bottom-up 32-bit DIB section, as GDI+ hands an opened image over.
kesh::win::Bitmap imageBitmap(int width, int height)
{
    return bench::MakeScreenLikeSection(width, height, false);
}

// A stroke's path: count mouse moves of about 8 pixels along a wave.
std::vector<POINT> path(int index, int count)
{
    std::vector<POINT> points;
    const int row = 100 + index * 130;
    for (int i = 0; i < count; ++i)
        points.push_back(POINT{50 + i * 8 % (kWidth - 100), row + (i % 20 < 10 ? i % 10 : 10 - i % 10) * 6});
    return points;
}

PenTriple tripleFor(PenKind kind)
{
    switch (kind) {
    case kPenPencil: return PenTriple{RGB(220, 20, 20), 3, 1};
    case kPenHighlighter: return PenTriple{0xFF0000, 15, 1};
    default: return PenTriple{0, 15, 4};
    }
}

// The view's client DC stand-in: a memory DC on a screen-sized bitmap whose
// viewport origin is the image's top-left pixel.
struct Screen {
    kesh::win::Bitmap bitmap = imageBitmap(kWidth + 20, kHeight + 20);
    kesh::win::MemoryDC dc;
    kesh::win::SelectObjectGuard selected{dc, bitmap};
    Screen() { SetViewportOrgEx(dc, 10, 10, nullptr); }
};

const char* nameOf(PenKind kind)
{
    switch (kind) {
    case kPenPencil: return "pencil";
    case kPenHighlighter: return "highlighter";
    default: return "mosaic";
    }
}

}  // namespace

int main()
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        std::printf("GDI+ did not start\n");
        return 1;
    }
    {
        Screen screen;
        const RECT clip = {0, 0, kWidth, kHeight};
        StrokeHistory history;
        if (!history.Reset(imageBitmap(kWidth, kHeight))) {
            std::printf("no display bitmap\n");
            return 1;
        }

        std::printf("editor on %d x %d, best of several runs\n", kWidth, kHeight);
        const PenKind kinds[] = {kPenPencil, kPenHighlighter, kPenMosaic};
        for (PenKind kind : kinds) {
            const std::vector<POINT> points = path(0, 400);
            PenPtr pen = MakePen(tripleFor(kind), kind);
            double t0 = nowMs();
            pen->Track(history.Display(), screen.dc, points[0], clip);
            GdiFlush();
            const double first = nowMs() - t0;
            t0 = nowMs();
            for (size_t i = 1; i < points.size(); ++i)
                pen->Track(history.Display(), screen.dc, points[i], clip);
            GdiFlush();
            const double perMove = (nowMs() - t0) / static_cast<double>(points.size() - 1);
            std::printf("  %-12s per mouse move %7.3f ms (goal < 1 ms); button-down %7.3f ms\n", nameOf(kind), perMove,
                        first);
            bench::figure(std::string("pens: ") + nameOf(kind) + " per mouse move, 4K", perMove, "ms", 1,
                          bench::Better::Lower);
        }

        // 15 mixed strokes: 5 of each drawing pen.
        for (int i = 0; i < 15; ++i) {
            const PenKind kind = kinds[i % 3];
            PenPtr pen = MakePen(tripleFor(kind), kind);
            for (const POINT& p : path(i, 300))
                pen->Track(history.Display(), screen.dc, p, clip);
            history.Record(pen);
        }

        const HBITMAP display = history.Display();
        const double undo = bestOfDrawn(5, [&] {
            history.Undo();
            history.Redo();
        });
        kesh::win::Bitmap scratch;
        CopyBitmap(history.Base(), scratch);
        const double replay15 = bestOfDrawn(5, [&] {
            CopyBitmap(history.Base(), scratch);
            for (const PenPtr& stroke : history.UndoList()) {
                stroke->Apply(scratch);
                stroke->AfterApply();
            }
        });
        const double reuse = bestOfDrawn(5, [&] { CopyBitmap(history.Base(), scratch); });
        const double fresh = bestOfDrawn(5, [&] {
            kesh::win::Bitmap target;
            CopyBitmap(history.Base(), target);
        });
        std::printf("  undo + redo (rebuild from the base with 14 strokes, then one applied) %7.1f ms\n", undo);
        std::printf("  rebuild from the base with all 15 strokes %7.1f ms (goal < 150 ms)\n", replay15);
        std::printf("  base to display copy: reused bitmap %6.1f ms, new bitmap %6.1f ms; display kept: %s\n", reuse,
                    fresh, history.Display() == display ? "yes" : "no");
        bench::figure("undo: rebuild with 15 strokes, 4K", replay15, "ms", 150, bench::Better::Lower);
        bench::reference("undo: undo + redo, 4K", undo, "ms");
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
