#pragma once

// The library's process-wide objects. They are all defined in globals.cpp,
// which every program links whole, so they exist before any of the
// program's own static objects and in one fixed order.

#include "kesh/impl/thread_registry.h"
#include "kesh/logger.h"
#include "kesh/impl/property_store.h"
#include "kesh/string.h"
#include "kesh/sync.h"

#include <atomic>

namespace kesh {
namespace __ {

extern sys::impl::ThreadDataMap threadRegistry;
extern volatile long runningThreadCount;
extern String startTime;
extern sys::Mutex propertyRegistryMutex;
extern sys::Mutex userPropertyMutex;
// Built on first use.
extern std::atomic<sys::__::PropertyRegistry*> propertyRegistry;
extern std::atomic<sys::__::UserProperties*> userProperties;
extern sys::Mutex uuidStateMutex;
extern sys::Mutex loggerWriteMutex;
extern Logger logger;
extern sys::Mutex randomGeneratorMutex;

}  // namespace __
}  // namespace kesh
