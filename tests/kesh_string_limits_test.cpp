// Texts at and past the 32-bit sizes a String can hold, and formatted
// output holding a NUL byte. The huge texts are many views of one block of
// memory laid side by side, so they cost address space, not memory.
#include "kesh/handles.h"
#include "kesh/string.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

using kesh::String;

namespace {

// views copies of a block of blockBytes laid end to end, every copy filled
// with fill except that the last one ends in a NUL of unitBytes bytes.
class HugeText {
public:
    static constexpr size_t kBlockBytes = 16u << 20;

    HugeText(size_t views, const void* fill, size_t unitBytes)
        : body_(MakeBlock(fill, unitBytes, false)), tail_(MakeBlock(fill, unitBytes, true))
    {
        const size_t total = views * kBlockBytes;
        // Find room, give it up and map the views there at once: nothing
        // else in this process takes address space meanwhile.
        void* room = VirtualAlloc(nullptr, total, MEM_RESERVE, PAGE_NOACCESS);
        if (!room || !VirtualFree(room, 0, MEM_RELEASE))
            return;
        char* at = static_cast<char*>(room);
        for (size_t i = 0; i < views; ++i, at += kBlockBytes) {
            void* view = MapViewOfFileEx(i + 1 < views ? body_ : tail_, FILE_MAP_READ, 0, 0, kBlockBytes, at);
            if (view != at) {
                if (view)
                    UnmapViewOfFile(view);
                return;
            }
            views_.push_back(view);
        }
        start_ = room;
    }
    ~HugeText()
    {
        for (void* view : views_)
            UnmapViewOfFile(view);
    }
    HugeText(const HugeText&) = delete;
    HugeText& operator=(const HugeText&) = delete;

    // Null when the views could not be laid side by side.
    const void* start() const { return start_; }

private:
    static HANDLE MakeBlock(const void* fill, size_t unitBytes, bool endsInNul)
    {
        HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            static_cast<DWORD>(kBlockBytes), nullptr);
        if (!section)
            return nullptr;
        char* bytes = static_cast<char*>(MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, kBlockBytes));
        if (bytes) {
            for (size_t at = 0; at < kBlockBytes; at += unitBytes)
                std::memcpy(bytes + at, fill, unitBytes);
            if (endsInNul)
                std::memset(bytes + kBlockBytes - unitBytes, 0, unitBytes);
            UnmapViewOfFile(bytes);
        }
        return section;
    }

    kesh::win::KernelHandle body_;
    kesh::win::KernelHandle tail_;
    std::vector<void*> views_;
    const void* start_ = nullptr;
};

}  // namespace

// The count of bytes before the first NUL is the length: what comes after
// the NUL would otherwise be counted, and a later append be lost behind it.
TEST(StringFormat, OutputHoldingANulEndsAtIt)
{
    String s = String::format("ab%cdef", 0);
    EXPECT_EQ(2u, s.length());
    s.append("!");
    EXPECT_STREQ("ab!", s.c_str());
    EXPECT_EQ(3u, s.length());
    EXPECT_EQ(0u, String::format("%c", 0).length());
    EXPECT_TRUE(String::format("%c", 0).isEmpty());
}

// An integer field wider than the formatter can lay out gives the empty
// text, as the other failures do, also with the width or precision taken
// from the arguments after others of every size, and so does an output of
// 2^31 bytes or more; fields that fit, and text fields of any width, are
// honoured.
TEST(StringFormat, AnIntegerFieldTooWideGivesTheEmptyText)
{
    // The formatter prints %q and %w as they stand, taking no argument.
    const char* wideModifier = "%wd%*d";
    const struct {
        const char* name;
        String result;
        size_t length;
    } cases[] = {
        {"%10000000d", String::format("%10000000d", 1), 0},
        {"%*d of 10^8", String::format("%*d", 100000000, 1), 0},
        {"%-*d of -10^8", String::format("%*d", -100000000, 1), 0},
        {"%.10000000x", String::format("%.10000000x", 1u), 0},
        {"%*lld after others", String::format("%s %c %f %lld %*lld", "a", 'b', 1.5, 2LL, 100000000, 3LL), 0},
        {"%20d", String::format("%20d", 1), 20},
        {"%-*d of -5", String::format("%-*d|", -5, 1), 6},
        {"%.*s cuts", String::format("%.*s", 100000000, "abc"), 3},
        {"%100000s", String::format("%100000s", "abc"), 100000},
        {"%qd%*d", String::format("%qd%*d", 100000000LL, 1, 2), 0},
        {"%wd%*d", String::format(wideModifier, 100000000, 1, 2), 0},
        {"%2147483647s%2s", String::format("%2147483647s%2s", "a", "b"), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.length, c.result.length()) << c.name;
}

// 4 GiB and 16 MiB of 'a' (one byte short for the NUL): added to "abc" it
// would pass 32 bits, and a length cut to 32 bits would take 16 MiB.
TEST(StringLimits, AnAppendPastThirtyTwoBitsIsRefusedAndLeavesTheText)
{
    const HugeText huge(257, "a", 1);
    ASSERT_NE(nullptr, huge.start());
    const char* text = static_cast<const char*>(huge.start());
    // Compared without printing: a failure would show gigabytes.
    auto holdsAbc = [](const String& s) { return s.length() == 3 && std::strcmp(s.c_str(), "abc") == 0; };
    String s("abc");
    const String shared = s;
    s.append(text);
    EXPECT_TRUE(holdsAbc(s)) << s.length();
    s.splice(text, 1, 1);
    EXPECT_TRUE(holdsAbc(s)) << s.length();
    EXPECT_TRUE(holdsAbc(shared));
}

// Each unit of U+3042 takes three UTF-8 bytes: 1.4 G units pass 32 bits.
TEST(StringLimits, AUtf16TextPastThirtyTwoBitsGivesTheEmptyText)
{
    const wchar_t unit = 0x3042;
    const HugeText huge(171, &unit, sizeof(unit));
    ASSERT_NE(nullptr, huge.start());
    const wchar_t* text = static_cast<const wchar_t*>(huge.start());
    EXPECT_TRUE(String(text).isEmpty());
    // A count that fits is still honoured.
    EXPECT_STREQ("\xE3\x81\x82\xE3\x81\x82", String(text, 2).c_str());
}
