#include "kesh/bytearray.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

using kesh::ByteArray;

namespace {

ByteArray bytes(std::initializer_list<unsigned char> values)
{
    ByteArray a;
    unsigned char* p = a.data(static_cast<unsigned>(values.size()));
    for (unsigned char v : values) *p++ = v;
    return a;
}

std::vector<unsigned char> contentOf(const ByteArray& a)
{
    return std::vector<unsigned char>(a.data(), a.data() + a.size());
}

// Refuses every request for a block of more than 1 KiB while it lives.
class SmallMemory {
public:
    SmallMemory() : saved_(kesh::__::byteArrayReallocate) { kesh::__::byteArrayReallocate = refuseLarge; }
    ~SmallMemory() { kesh::__::byteArrayReallocate = saved_; }

private:
    static void* refuseLarge(void* block, size_t size)
    {
        if (size == 0) {
            std::free(block);
            return nullptr;
        }
        return size > 1024 ? nullptr : std::realloc(block, size);
    }
    kesh::__::ByteReallocator saved_;
};

}  // namespace

TEST(ByteArrayTest, EmptyArrayHasNoBytes)
{
    const ByteArray empty;
    EXPECT_EQ(0u, empty.size());
    EXPECT_EQ(nullptr, empty.data());
    EXPECT_STREQ("", empty.toHex().c_str());
    EXPECT_EQ(10u, ByteArray(10).size());
}

TEST(ByteArrayTest, HexIsLowerCaseInByteOrder)
{
    EXPECT_STREQ("00abff", bytes({0x00, 0xAB, 0xFF}).toHex().c_str());
    EXPECT_STREQ("0123456789abcdef", bytes({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}).toHex().c_str());
}

TEST(ByteArrayTest, ResizeKeepsTheLeadingBytesAndZeroReleases)
{
    ByteArray a = bytes({1, 2, 3, 4});
    a.resize(2);
    EXPECT_EQ((std::vector<unsigned char>{1, 2}), contentOf(a));
    a.resize(3);
    EXPECT_EQ(3u, a.size());
    EXPECT_EQ(1, a.data()[0]);
    EXPECT_EQ(2, a.data()[1]);
    a.resize(0);
    EXPECT_EQ(0u, a.size());
    EXPECT_EQ(nullptr, a.data());
}

TEST(ByteArrayTest, WritableDataGrowsButNeverShrinks)
{
    ByteArray a(10);
    std::memset(a.data(10), 7, 10);
    a.data(4)[0] = 1;
    EXPECT_EQ(10u, a.size());
    EXPECT_EQ(7, a.data()[9]);
    a.data(12);
    EXPECT_EQ(12u, a.size());
    EXPECT_EQ(1, a.data()[0]);
    EXPECT_EQ(7, a.data()[9]);
}

TEST(ByteArrayTest, ChangesThroughOneCopyLeaveTheOtherAlone)
{
    const ByteArray original = bytes({1, 2, 3});
    ByteArray written = original;
    EXPECT_EQ(original.data(), written.data());  // shared until changed
    written.data(3)[0] = 9;
    EXPECT_EQ((std::vector<unsigned char>{1, 2, 3}), contentOf(original));
    EXPECT_EQ((std::vector<unsigned char>{9, 2, 3}), contentOf(written));

    ByteArray grown = original;
    grown.resize(5);
    ByteArray shrunk = original;
    shrunk.resize(1);
    EXPECT_EQ(3u, original.size());
    EXPECT_EQ((std::vector<unsigned char>{1, 2, 3}), contentOf(original));
    EXPECT_EQ(5u, grown.size());
    EXPECT_EQ(3, grown.data()[2]);
    EXPECT_EQ((std::vector<unsigned char>{1}), contentOf(shrunk));
}

TEST(ByteArrayTest, FailedGrowthKeepsTheOldBlockAndSize)
{
    ByteArray alone = bytes({1, 2, 3});
    ByteArray shared = bytes({4, 5});
    const ByteArray other = shared;
    {
        SmallMemory limit;
        alone.resize(4096);
        EXPECT_EQ(nullptr, shared.data(4096));
        EXPECT_EQ(nullptr, ByteArray(4096).data());
    }
    EXPECT_EQ((std::vector<unsigned char>{1, 2, 3}), contentOf(alone));
    EXPECT_EQ((std::vector<unsigned char>{4, 5}), contentOf(shared));
    EXPECT_EQ((std::vector<unsigned char>{4, 5}), contentOf(other));
}
