#pragma once

#include "kesh/base.h"

namespace kesh {

// A byte stream. Both return the number of bytes actually moved.
class IIO : public IBase {
public:
    virtual unsigned read(void* buffer, unsigned count) = 0;
    virtual unsigned write(const void* buffer, unsigned count) = 0;
};

// A positioned store with 64-bit sizes and positions (from the start).
class IRandomAccess : public IBase {
public:
    virtual unsigned long long size() = 0;
    virtual bool seek(unsigned long long position) = 0;
    virtual unsigned long long position() = 0;
    virtual bool truncate(unsigned long long size) = 0;
};

}  // namespace kesh
