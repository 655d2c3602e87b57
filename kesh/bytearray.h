#pragma once

#include "kesh/string.h"

#include <boost/shared_ptr.hpp>

#include <cstddef>

namespace kesh {

namespace __ {
// Owns one heap block of bytes; data is null exactly when size is 0.
struct ByteArrayStub {
    unsigned char* data = nullptr;
    unsigned size = 0;
    ByteArrayStub() = default;
    ~ByteArrayStub();
    ByteArrayStub(const ByteArrayStub&) = delete;
    ByteArrayStub& operator=(const ByteArrayStub&) = delete;
};

// The allocator behind every byte block: a null block makes a new one, size 0
// frees the block and gives null, null otherwise means "no memory" and leaves
// the block as it was. Tests replace it to see how the array survives a
// failed growth; nothing else may change it.
typedef void* (*ByteReallocator)(void* block, size_t size);
extern ByteReallocator byteArrayReallocate;
}  // namespace __

// A byte buffer value. Copies share one block; a change made through a copy
// that is not the block's only holder first gives that copy a block of its
// own. Bytes added by growing are not initialised.
//
// When memory for a bigger block cannot be had, the array keeps its old block
// and size unchanged: callers that need n bytes check size() (or the pointer
// that data(n) returns) afterwards.
class ByteArray {
public:
    ByteArray();
    explicit ByteArray(unsigned n);

    unsigned size() const;
    // Read-only bytes, null when empty. Never detaches.
    const unsigned char* data() const;
    // Grows to at least n bytes (never shrinks), detaches when shared, and
    // gives writable bytes; null when the array stays empty or could not
    // grow to n bytes (then it is unchanged).
    unsigned char* data(unsigned n);
    // Size becomes n; the first min(n, old size) bytes keep their values.
    // Other copies keep their bytes. On allocation failure nothing changes.
    void resize(unsigned n);
    // Two lower-case hexadecimal digits per byte, in byte order.
    String toHex() const;

private:
    boost::shared_ptr<__::ByteArrayStub> stub_;
};

}  // namespace kesh
