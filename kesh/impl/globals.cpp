#include "kesh/impl/globals.h"

#include "kesh/bytearray.h"

#include <winsock2.h>

#include <cstdlib>

// Construction order of the library's static objects, ahead of every
// program's own (which use the default priority):
//   101 the registry of library threads
//   102 the start time of the program
//   103-104 the start-up mutexes of the property registry and the user store
//   105 the mutex of the UUID state
//   106 the logger's write mutex, 107 the logger
//   108 the mutex of the shared random generator
//   109 Winsock
#define KESH_GLOBAL(order) __attribute__((init_priority(order)))

namespace kesh {
namespace __ {

sys::impl::ThreadDataMap threadRegistry KESH_GLOBAL(101);
// Constant-initialised: valid before any constructor runs.
volatile long runningThreadCount = 0;
String startTime KESH_GLOBAL(102)(sys::__::startTimeText());
sys::Mutex propertyRegistryMutex KESH_GLOBAL(103);
sys::Mutex userPropertyMutex KESH_GLOBAL(104);
sys::Mutex uuidStateMutex KESH_GLOBAL(105);
sys::Mutex loggerWriteMutex KESH_GLOBAL(106);
Logger logger KESH_GLOBAL(107);
sys::Mutex randomGeneratorMutex KESH_GLOBAL(108);

namespace {
// Lets inet_addr and ntohl be used at any time; the start-up result is not
// looked at (a failure shows as unparsed addresses).
struct WinsockSession {
    WinsockSession()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockSession() { WSACleanup(); }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
};
WinsockSession winsockSession KESH_GLOBAL(109);
}  // namespace

namespace {
void* reallocateBytes(void* block, size_t size)
{
    if (size == 0) {
        std::free(block);
        return nullptr;
    }
    return std::realloc(block, size);
}
}  // namespace

// Constant-initialised (a function of this file), so it is set before any
// constructor runs.
ByteReallocator byteArrayReallocate = reallocateBytes;

// Constant-initialised; set when first used.
std::atomic<sys::__::PropertyRegistry*> propertyRegistry(nullptr);
std::atomic<sys::__::UserProperties*> userProperties(nullptr);

}  // namespace __
}  // namespace kesh
