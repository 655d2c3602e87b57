#pragma once

// The library's process-wide objects. They are all defined in globals.cpp,
// which every program links whole, so they exist before any of the
// program's own static objects and in one fixed order.

#include "kesh/impl/thread_registry.h"
#include "kesh/logger.h"
#include "kesh/sync.h"

namespace kesh {
namespace __ {

extern sys::impl::ThreadDataMap threadRegistry;
extern volatile long runningThreadCount;
extern sys::Mutex propertyRegistryMutex;
extern sys::Mutex userPropertyMutex;
extern sys::Mutex uuidStateMutex;
extern sys::Mutex loggerWriteMutex;
extern Logger logger;
extern sys::Mutex randomGeneratorMutex;

}  // namespace __
}  // namespace kesh
