#pragma once

#include "kesh/array.h"
#include "kesh/bytearray.h"
#include "kesh/net.h"

namespace kesh {
namespace util {

// A new 16-byte time-based identifier. Byte 7 carries 1 in its high four
// bits and byte 8 has 100 as its top three bits; bytes 10-15 are the same
// for every identifier of one process (the hardware address of the first
// real adapter, else random bytes). Identifiers made while the clock does not
// advance differ in their clock sequence. Safe on any thread. toHex() of the
// result is the 32-character text form.
ByteArray generateUuid();

namespace __ {

// What generateUuid keeps between calls.
struct UuidState {
    ByteArray node;
    bool nodeReady = false;
    unsigned short clockSequence = 0;
    long long lastTimestamp = 0;
};

// Everything the layout of one identifier needs.
struct UuidStamp {
    long long timestamp = 0;
    unsigned short clockSequence = 0;
    ByteArray node;
};

typedef TArray<net::InterfaceEntry> (*AdapterSource)();

// The hardware address of the first adapter with a 6-byte address that is
// neither all zero nor 44-45-53-54-00-00; empty when there is none.
ByteArray chooseNode(const TArray<net::InterfaceEntry>& adapters);

// The identifier's time count for a system file time.
long long uuidTimestamp(long long fileTime);

// Advances state for one identifier made at fileTime: makes the node (from
// adapters(), else random) and the clock sequence on the first call, and
// steps the clock sequence when the time count has not grown. The caller
// holds the lock that guards state.
UuidStamp advanceUuidState(UuidState& state, long long fileTime, AdapterSource adapters);

// The 16 bytes of an identifier.
ByteArray layoutUuid(const UuidStamp& stamp);

}  // namespace __

}  // namespace util
}  // namespace kesh
