#pragma once

// The part of the adapter listing that does not ask the system, so it can be
// fed hand-built records.

#include "kesh/net.h"

#include <winsock2.h>
#include <iphlpapi.h>

namespace kesh {
namespace net {
namespace __ {

// The entries for a chain of adapter records, first to last (null: none).
TArray<InterfaceEntry> readAdapterChain(const IP_ADAPTER_INFO* first);

}  // namespace __
}  // namespace net
}  // namespace kesh
