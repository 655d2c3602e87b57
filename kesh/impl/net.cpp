#include "kesh/net.h"

#include "kesh/impl/adapters.h"

#include <cstring>
#include <vector>

namespace kesh {
namespace net {

IP::IP(const String& text) : value_(0)
{
    const char* p = text.c_str();
    if (std::strspn(p, "0123456789.") != text.length()) return;
    const unsigned long address = inet_addr(p);
    if (address == INADDR_NONE) return;
    value_ = ntohl(address);
}

namespace __ {

namespace {

// The fixed-size text fields of a record are NUL-terminated inside their
// arrays; never read past the array even when one is not.
template <size_t N>
String boundedText(const char (&field)[N])
{
    return String(field, static_cast<unsigned>(N));
}

void addAddress(InterfaceEntry& entry, const IP_ADDR_STRING& node)
{
    const IP address(boundedText(node.IpAddress.String));
    if (address.getValue() == 0) return;
    entry.addresses.append(address);
    entry.masks.append(IP(boundedText(node.IpMask.String)));
}

}  // namespace

TArray<InterfaceEntry> readAdapterChain(const IP_ADAPTER_INFO* first)
{
    TArray<InterfaceEntry> result;
    for (const IP_ADAPTER_INFO* record = first; record; record = record->Next) {
        if (record->AddressLength != 6) continue;
        InterfaceEntry entry;
        entry.name = boundedText(record->AdapterName);
        entry.description = boundedText(record->Description);
        unsigned char* mac = entry.mac.data(6);
        if (!mac) continue;
        std::memcpy(mac, record->Address, 6);
        const IP_ADDR_STRING* current = record->CurrentIpAddress;
        if (current) addAddress(entry, *current);
        for (const IP_ADDR_STRING* node = &record->IpAddressList; node; node = node->Next)
            if (node != current) addAddress(entry, *node);
        result.append(entry);
    }
    return result;
}

}  // namespace __

TArray<InterfaceEntry> getInterfaces()
{
    ULONG size = sizeof(IP_ADAPTER_INFO);
    std::vector<unsigned char> buffer(size);
    DWORD r = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    if (r == ERROR_BUFFER_OVERFLOW) {
        buffer.assign(size, 0);
        r = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    }
    if (r != NO_ERROR) return TArray<InterfaceEntry>();
    return __::readAdapterChain(reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data()));
}

}  // namespace net
}  // namespace kesh
