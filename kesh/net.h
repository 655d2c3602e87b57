#pragma once

#include "kesh/array.h"
#include "kesh/bytearray.h"
#include "kesh/string.h"

namespace kesh {
namespace net {

// An IPv4 address in host byte order (the first number of the dotted text in
// the most significant byte). 0 means "no address".
class IP {
public:
    IP() : value_(0) {}
    explicit IP(unsigned hostOrderValue) : value_(hostOrderValue) {}
    // Dotted text as the system's inet_addr reads it (decimal, octal with a
    // leading 0, fewer than four parts). Anything holding a character other
    // than digits and dots, anything inet_addr rejects, and
    // 255.255.255.255 give 0.
    explicit IP(const String& text);

    unsigned getValue() const { return value_; }
    bool operator==(const IP& other) const { return value_ == other.value_; }
    bool operator!=(const IP& other) const { return value_ != other.value_; }

private:
    unsigned value_;
};

// One network adapter as the system lists it.
struct InterfaceEntry {
    String name;
    String description;
    TArray<IP> addresses;  // IPv4 addresses, no 0.0.0.0
    TArray<IP> masks;      // masks[i] is the subnet mask of addresses[i]
    ByteArray mac;         // the hardware address, 6 bytes in a listed entry
};

// The adapters in the system's order; adapters whose hardware address is not
// 6 bytes long are left out. Empty when the list cannot be read. Keeps no
// state; safe on any thread.
TArray<InterfaceEntry> getInterfaces();

}  // namespace net
}  // namespace kesh
