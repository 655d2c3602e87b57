#include "kesh/impl/adapters.h"
#include "kesh/net.h"
#include "kesh/uuid.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using kesh::ByteArray;
using kesh::TArray;
using kesh::net::InterfaceEntry;
using kesh::net::IP;
namespace uuid = kesh::util::__;

namespace {

InterfaceEntry adapterWithMac(std::initializer_list<unsigned char> mac)
{
    InterfaceEntry e;
    unsigned char* p = e.mac.data(static_cast<unsigned>(mac.size()));
    for (unsigned char b : mac) *p++ = b;
    return e;
}

TArray<InterfaceEntry> list(std::initializer_list<InterfaceEntry> entries)
{
    TArray<InterfaceEntry> a;
    for (const InterfaceEntry& e : entries) a.append(e);
    return a;
}

int adapterQueries = 0;
TArray<InterfaceEntry> realAndVirtualAdapters()
{
    ++adapterQueries;
    return list({adapterWithMac({0x44, 0x45, 0x53, 0x54, 0x00, 0x00}), adapterWithMac({0, 0, 0, 0, 0, 0}),
                 adapterWithMac({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E})});
}

TArray<InterfaceEntry> onlyUnusableAdapters()
{
    ++adapterQueries;
    return list({adapterWithMac({0x44, 0x45, 0x53, 0x54, 0x00, 0x00}), adapterWithMac({0, 0, 0, 0, 0, 0}),
                 adapterWithMac({1, 2, 3, 4, 5, 6, 7, 8})});
}

std::string hexOf(const ByteArray& a)
{
    return a.toHex().c_str();
}

// One IP_ADAPTER_INFO record, as the system chains them.
struct AdapterRecord {
    IP_ADAPTER_INFO info;
    AdapterRecord(const char* name, unsigned length)
    {
        std::memset(&info, 0, sizeof(info));
        std::strcpy(info.AdapterName, name);
        std::strcpy(info.Description, (std::string(name) + " card").c_str());
        info.AddressLength = length;
        for (unsigned i = 0; i < length && i < sizeof(info.Address); ++i) info.Address[i] = static_cast<BYTE>(0xA0 + i);
    }
};

void setAddress(IP_ADDR_STRING& node, const char* address, const char* mask)
{
    std::strcpy(node.IpAddress.String, address);
    std::strcpy(node.IpMask.String, mask);
}

std::vector<unsigned> values(const TArray<IP>& ips)
{
    std::vector<unsigned> v;
    for (unsigned i = 0; i < ips.size(); ++i) v.push_back(ips.at(i).getValue());
    return v;
}

}  // namespace

TEST(UuidTest, VersionVariantAndNodeOfRealIdentifiers)
{
    const ByteArray first = kesh::util::generateUuid();
    const ByteArray second = kesh::util::generateUuid();
    for (const ByteArray* u : {&first, &second}) {
        ASSERT_EQ(16u, u->size());
        EXPECT_EQ(0x10, u->data()[7] & 0xF0);
        EXPECT_EQ(0x80, u->data()[8] & 0xE0);
        EXPECT_EQ(32u, u->toHex().length());
    }
    EXPECT_EQ(0, std::memcmp(first.data() + 10, second.data() + 10, 6));
    EXPECT_NE(hexOf(first), hexOf(second));
}

TEST(UuidTest, LayoutOfTimeClockSequenceAndNode)
{
    uuid::UuidStamp stamp;
    stamp.timestamp = 0x7123456789ABCDEFLL;  // bits 60-63 are dropped
    stamp.clockSequence = 0xFFFF;            // only bits 0-12 survive
    stamp.node = adapterWithMac({1, 2, 3, 4, 5, 6}).mac;
    EXPECT_EQ("efcdab89674523119fff010203040506", hexOf(uuid::layoutUuid(stamp)));
    stamp.timestamp = 0;
    stamp.clockSequence = 0x0102;
    EXPECT_EQ("00000000000000108102010203040506", hexOf(uuid::layoutUuid(stamp)));
}

TEST(UuidTest, TimestampCountsTenMicrosecondUnits)
{
    EXPECT_EQ(0x00146A60E96F4000LL, uuid::uuidTimestamp(0));
    EXPECT_EQ(0x00146A60E96F4000LL, uuid::uuidTimestamp(99));
    EXPECT_EQ(0x00146A60E96F4001LL, uuid::uuidTimestamp(100));
}

TEST(UuidTest, ClockSequenceStepsWhenTheClockDoesNotAdvance)
{
    uuid::UuidState state;
    const long long t0 = 134000000000000000LL;
    const uuid::UuidStamp a = uuid::advanceUuidState(state, t0, realAndVirtualAdapters);
    struct Step {
        long long fileTime;
        int sequenceChange;  // against the previous identifier
    } steps[] = {
        {t0 + 99, 1},    // same 10-microsecond unit
        {t0 + 99, 1},    // same time again
        {t0 - 5000, 1},  // the clock went back
        {t0 + 50, 1},    // still not past the last time
        {t0 + 100, 0},   // advanced
        {t0 + 1000, 0},
    };
    unsigned short previous = a.clockSequence;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.fileTime - t0);
        const uuid::UuidStamp b = uuid::advanceUuidState(state, s.fileTime, realAndVirtualAdapters);
        EXPECT_EQ(static_cast<unsigned short>(previous + s.sequenceChange), b.clockSequence);
        EXPECT_EQ(uuid::uuidTimestamp(s.fileTime), b.timestamp);
        previous = b.clockSequence;
    }
    EXPECT_EQ(uuid::uuidTimestamp(t0 + 1000), state.lastTimestamp);

    // Two identifiers of one unit share bytes 0 to 7 and differ in the sequence by one.
    const ByteArray x = uuid::layoutUuid(uuid::advanceUuidState(state, t0 + 5000, realAndVirtualAdapters));
    const ByteArray y = uuid::layoutUuid(uuid::advanceUuidState(state, t0 + 5001, realAndVirtualAdapters));
    EXPECT_EQ(0, std::memcmp(x.data(), y.data(), 8));
    const unsigned sx = ((x.data()[8] & 0x1F) << 8) | x.data()[9];
    const unsigned sy = ((y.data()[8] & 0x1F) << 8) | y.data()[9];
    EXPECT_EQ((sx + 1) & 0x1FFF, sy);

    // The sequence wraps at 16 bits.
    state.clockSequence = 0xFFFF;
    EXPECT_EQ(0, uuid::advanceUuidState(state, t0, realAndVirtualAdapters).clockSequence);
}

TEST(UuidTest, NodeIsMadeOnceFromTheFirstRealAdapter)
{
    adapterQueries = 0;
    uuid::UuidState state;
    const uuid::UuidStamp first = uuid::advanceUuidState(state, 1000, realAndVirtualAdapters);
    EXPECT_EQ("001a2b3c4d5e", hexOf(first.node));
    const unsigned short sequence = first.clockSequence;
    const uuid::UuidStamp later = uuid::advanceUuidState(state, 2000, onlyUnusableAdapters);
    EXPECT_EQ("001a2b3c4d5e", hexOf(later.node));
    EXPECT_EQ(sequence, later.clockSequence);
    EXPECT_EQ(1, adapterQueries);
}

TEST(UuidTest, WithoutARealAdapterTheNodeIsRandom)
{
    EXPECT_EQ(0u, uuid::chooseNode(TArray<InterfaceEntry>()).size());
    EXPECT_EQ(0u, uuid::chooseNode(onlyUnusableAdapters()).size());
    EXPECT_EQ("001a2b3c4d5e", hexOf(uuid::chooseNode(realAndVirtualAdapters())));

    uuid::UuidState a, b;
    const ByteArray nodeA = uuid::advanceUuidState(a, 1000, onlyUnusableAdapters).node;
    const ByteArray nodeB = uuid::advanceUuidState(b, 1000, onlyUnusableAdapters).node;
    ASSERT_EQ(6u, nodeA.size());
    EXPECT_NE("444553540000", hexOf(nodeA));
    EXPECT_NE(hexOf(nodeA), hexOf(nodeB));
}

TEST(IpTest, ParsesDottedTextLikeTheSystem)
{
    struct Case {
        const char* text;
        unsigned value;
    } cases[] = {
        {"192.168.1.10", 0xC0A8010A},
        {"127.0.0.1", 0x7F000001},
        {"0.0.0.0", 0},
        {"010.0.0.1", 0x08000001},  // a leading 0 means octal
        {"10.1", 0x0A000001},       // short forms
        {"10.1.2", 0x0A010002},
        {"1.2.65535", 0x0102FFFF},
        {"255.255.255.254", 0xFFFFFFFE},
        {"255.255.255.255", 0},  // the system's own "no address"
        {"192.168.1.x", 0},
        {" 10.0.0.1", 0},
        {"10.0.0.1 ", 0},
        {"0x10.0.0.1", 0},
        {"-1.0.0.1", 0},
        {"", 0},
        {"256.0.0.1", 0},
        {"1.2.3.4.5", 0},
        {"08.1.1.1", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.value, IP(kesh::String(c.text)).getValue());
    }
    EXPECT_EQ(0u, IP().getValue());
}

TEST(AdapterListTest, RecordsBecomeEntriesInOrder)
{
    AdapterRecord wide("{wide}", 8);  // not a 6-byte hardware address: left out
    AdapterRecord lan("{lan}", 6);
    AdapterRecord idle("{idle}", 6);
    wide.info.Next = &lan.info;
    lan.info.Next = &idle.info;
    setAddress(lan.info.IpAddressList, "192.168.1.10", "255.255.255.0");
    IP_ADDR_STRING second = {};
    setAddress(second, "10.0.0.7", "bad mask");
    lan.info.IpAddressList.Next = &second;
    lan.info.CurrentIpAddress = &lan.info.IpAddressList;  // listed once, first
    setAddress(idle.info.IpAddressList, "0.0.0.0", "0.0.0.0");

    const TArray<InterfaceEntry> entries = kesh::net::__::readAdapterChain(&wide.info);
    ASSERT_EQ(2u, entries.size());
    const InterfaceEntry& a = entries.at(0);
    EXPECT_STREQ("{lan}", a.name.c_str());
    EXPECT_STREQ("{lan} card", a.description.c_str());
    EXPECT_EQ("a0a1a2a3a4a5", hexOf(a.mac));
    EXPECT_EQ((std::vector<unsigned>{0xC0A8010A, 0x0A000007}), values(a.addresses));
    EXPECT_EQ((std::vector<unsigned>{0xFFFFFF00, 0}), values(a.masks));
    const InterfaceEntry& b = entries.at(1);
    EXPECT_STREQ("{idle}", b.name.c_str());
    EXPECT_EQ(0u, b.addresses.size());
    EXPECT_EQ(0u, b.masks.size());
    EXPECT_EQ(0u, kesh::net::__::readAdapterChain(nullptr).size());
}

TEST(AdapterListTest, CurrentAddressOutsideTheListComesFirst)
{
    AdapterRecord lan("{lan}", 6);
    IP_ADDR_STRING current = {};
    setAddress(current, "172.16.0.2", "255.255.0.0");
    setAddress(lan.info.IpAddressList, "192.168.1.10", "255.255.255.0");
    lan.info.CurrentIpAddress = &current;
    const TArray<InterfaceEntry> entries = kesh::net::__::readAdapterChain(&lan.info);
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ((std::vector<unsigned>{0xAC100002, 0xC0A8010A}), values(entries.at(0).addresses));
    EXPECT_EQ((std::vector<unsigned>{0xFFFF0000, 0xFFFFFF00}), values(entries.at(0).masks));
}

TEST(AdapterListTest, SystemListHoldsOnlyWellFormedEntries)
{
    const TArray<InterfaceEntry> entries = kesh::net::getInterfaces();
    for (unsigned i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(entries.at(i).name.c_str());
        EXPECT_EQ(6u, entries.at(i).mac.size());
        EXPECT_EQ(entries.at(i).addresses.size(), entries.at(i).masks.size());
        for (unsigned k = 0; k < entries.at(i).addresses.size(); ++k)
            EXPECT_NE(0u, entries.at(i).addresses.at(k).getValue());
    }
}
