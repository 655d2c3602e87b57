#include "kesh/uuid.h"

#include "kesh/impl/globals.h"
#include "kesh/random.h"

#include <windows.h>

namespace kesh {
namespace util {

namespace __ {

ByteArray chooseNode(const TArray<net::InterfaceEntry>& adapters)
{
    for (unsigned i = 0; i < adapters.size(); ++i) {
        const ByteArray& mac = adapters.at(i).mac;
        if (mac.size() != 6) continue;
        const String hex = mac.toHex();
        // All zero, or the address that some virtual adapters share.
        if (hex.compare("000000000000", true) == 0 || hex.compare("444553540000", true) == 0) continue;
        return mac;
    }
    return ByteArray();
}

long long uuidTimestamp(long long fileTime)
{
    return fileTime / 100 + 0x00146A60E96F4000LL;
}

UuidStamp advanceUuidState(UuidState& state, long long fileTime, AdapterSource adapters)
{
    const long long t = uuidTimestamp(fileTime);
    if (!state.nodeReady) {
        state.node = chooseNode(adapters());
        if (state.node.size() != 6) state.node = randomBytes(6);
        state.nodeReady = true;
        state.clockSequence = static_cast<unsigned short>(nextRandom());
    }
    if (t > state.lastTimestamp)
        state.lastTimestamp = t;
    else
        ++state.clockSequence;
    UuidStamp stamp;
    stamp.timestamp = t;
    stamp.clockSequence = state.clockSequence;
    stamp.node = state.node;
    return stamp;
}

ByteArray layoutUuid(const UuidStamp& stamp)
{
    ByteArray uuid;
    unsigned char* b = uuid.data(16);
    if (!b) return ByteArray();
    const unsigned long long t = static_cast<unsigned long long>(stamp.timestamp);
    for (int i = 0; i < 7; ++i) b[i] = static_cast<unsigned char>(t >> (8 * i));
    b[7] = static_cast<unsigned char>(((t >> 56) & 0x0F) | 0x10);
    b[8] = static_cast<unsigned char>(((stamp.clockSequence >> 8) & 0x1F) | 0x80);
    b[9] = static_cast<unsigned char>(stamp.clockSequence);
    const unsigned char* node = stamp.node.data();
    for (int i = 0; i < 6; ++i) b[10 + i] = node && stamp.node.size() == 6 ? node[i] : 0;
    return uuid;
}

}  // namespace __

ByteArray generateUuid()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const long long fileTime =
        static_cast<long long>((static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
    __::UuidStamp stamp;
    {
        sys::ScopedLock lock(kesh::__::uuidStateMutex);
        // Made on the first call (under the lock) and destroyed at exit.
        static __::UuidState state;
        stamp = __::advanceUuidState(state, fileTime, net::getInterfaces);
    }
    return __::layoutUuid(stamp);
}

}  // namespace util
}  // namespace kesh
