#include "editor/core/save_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

const GUID kPngRaw = {0xb96b3caf, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID kBmpRaw = {0xb96b3cab, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

TEST(SaveFormatTest, RawFormatUpToFourFifthsOfAByteAPixelElseJpeg)
{
    struct Case {
        const char* what;
        GUID raw;
        std::uint64_t size;
        int width, height;
        bool keepsRaw;
    };
    const Case cases[] = {
        {"exactly the threshold", kPngRaw, 80000, 1000, 100, true},
        {"one byte above", kPngRaw, 80001, 1000, 100, false},
        {"division truncates", kPngRaw, 2, 1, 3, true},  // 12 / 5 = 2
        {"size unknown", kPngRaw, 0, 10, 10, true},
        {"24-bit BMP, 300 x 300", kBmpRaw, 54 + 300 * 900, 300, 300, false},
        {"32-bit BMP, 300 x 300", kBmpRaw, 54 + 300 * 1200, 300, 300, false},
        // 40000 x 40000 x 4 overflows 32 bits.
        {"huge image, small file", kPngRaw, 1000000000ull, 40000, 40000, true},
        {"huge image, large file", kPngRaw, 1280000001ull, 40000, 40000, false},
        {"empty image", kPngRaw, 1, 0, 0, false},
        // width x height x 4 passes even 63 bits.
        {"largest image, small file", kPngRaw, 1ull << 61, INT_MAX, INT_MAX, true},
        {"largest image, file above the threshold", kPngRaw, 3689348811305936488ull, INT_MAX, INT_MAX, false},
        {"largest image, file at the threshold", kPngRaw, 3689348811305936487ull, INT_MAX, INT_MAX, true},
    };
    for (const Case& c : cases) {
        const GUID format = PreferredSaveFormat(c.raw, c.size, c.width, c.height);
        EXPECT_TRUE(IsEqualGUID(c.keepsRaw ? c.raw : kImageFormatJPEG, format)) << c.what;
    }
}

}  // namespace
