#include "bench/screen_like.h"

#include "common/dib_section.h"

namespace bench {

namespace {

// The same bits for the same place, different ones nearby.
std::uint32_t hash(std::uint32_t x, std::uint32_t y)
{
    std::uint32_t h = x * 0x9E3779B1u ^ y * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

std::uint32_t rgb(int r, int g, int b)
{
    auto clamp = [](int v) { return static_cast<std::uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    return 0xFF000000u | clamp(r) << 16 | clamp(g) << 8 | clamp(b);
}

// Lines of text 20 pixels apart: glyphs 7 pixels wide with gaps, words
// with spaces, lines of different lengths.
bool isGlyphStroke(int x, int y, int width)
{
    const int line = y / 20;
    const int row = y % 20;
    if (row < 5 || row > 14) return false;
    const int lineLength = width / 3 + static_cast<int>(hash(line, 7) % static_cast<std::uint32_t>(width / 2 + 1));
    if (x % width > lineLength) return false;
    const int glyph = x / 8;
    if (x % 8 == 7 || hash(glyph / 6, line) % 7 == 0) return false;  // the gap, a space
    return (hash(glyph, line * 16 + row) & 3) == 0;
}

std::uint32_t pixelAt(int x, int y, int width, int height)
{
    const int toolbarBottom = 72;
    if (y < 32)  // title bar: a horizontal gradient with its title
        return isGlyphStroke(x, y + 3, 400) && x > 40 && x < 440 ? rgb(255, 255, 255)
                                                                  : rgb(40 + 80 * x / width, 100 + 60 * x / width, 200);
    if (y < toolbarBottom)  // toolbar: a vertical gradient with icons
        return (x / 40) % 3 != 2 && x % 40 > 6 && x % 40 < 34 && y > 38 && y < 66 && x < width / 2
                   ? rgb(static_cast<int>(hash(x / 40, 1) & 0xFF), 120, static_cast<int>(hash(x / 40, 2) & 0xFF))
                   : rgb(240 - (y - 32), 240 - (y - 32), 245 - (y - 32) / 2);
    const int sidebar = width / 5;
    if (x < sidebar)  // side panel of text on grey
        return isGlyphStroke(x - 8, y - toolbarBottom, sidebar - 16) ? rgb(30, 30, 30) : rgb(232, 232, 236);
    const int photoTop = toolbarBottom + (height - toolbarBottom) / 2;
    if (y < photoTop || x < sidebar + (width - sidebar) / 3)  // a document of text
        return isGlyphStroke(x - sidebar - 24, y - toolbarBottom - 12, width - sidebar - 48) ? rgb(20, 20, 60)
                                                                                             : rgb(255, 255, 255);
    // A photo: sky over ground, light falling off, grain on everything.
    const int u = (x - sidebar) * 255 / (width - sidebar);
    const int v = (y - photoTop) * 255 / (height - photoTop);
    const int grain = static_cast<int>(hash(x, y) % 25) - 12;
    if (v < 110 + u / 8)
        return rgb(90 + v / 2 + grain, 150 + v / 3 + grain, 230 - u / 6 + grain);
    return rgb(60 + u / 4 + grain, 120 - v / 4 + grain, 50 + grain);
}

}  // namespace

void FillScreenLike(std::uint32_t* pixels, int width, int height, int stride)
{
    for (int y = 0; y < height; ++y) {
        std::uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) row[x] = pixelAt(x, y, width, height);
    }
}

kesh::win::Bitmap MakeScreenLikeSection(int width, int height, bool topDown)
{
    void* bits = nullptr;
    kesh::win::Bitmap section = DibSection(width, height, topDown ? RowOrder::TopDown : RowOrder::BottomUp, &bits);
    if (!section.isValid() || !bits) return kesh::win::Bitmap();
    std::uint32_t* pixels = static_cast<std::uint32_t*>(bits);
    if (topDown)
        FillScreenLike(pixels, width, height, width);
    else  // the top row is stored last
        FillScreenLike(pixels + static_cast<std::ptrdiff_t>(height - 1) * width, width, height, -width);
    GdiFlush();
    return section;
}

}  // namespace bench
