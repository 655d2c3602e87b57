#pragma once

#include "kesh/base.h"
#include "kesh/bytearray.h"

namespace kesh {
namespace util {

// A source of 32-bit pseudo-random numbers. Not for secrets.
class IRandom : public IBase {
public:
    // Re-initialises the whole state from s: equal seeds give equal
    // sequences.
    virtual void seed(unsigned s) = 0;
    virtual unsigned next() = 0;
};

namespace impl {

// The 32-bit ISAAC generator with a 256-word state. One object is used by
// one thread at a time; the process-wide one below is locked for each call.
class Random : public IRandom {
public:
    static const unsigned kStateWords = 256;

    // Seeded from the calendar time and the process's running time.
    Random();

    // Seeds with the words s, s+1, ..., s+255.
    void seed(unsigned s) override;
    // Seeds with the given words, as ISAAC's own initialisation does; seed()
    // is this with consecutive numbers. Results come from the last word of
    // each batch of 256 to the first.
    void seedWords(const unsigned (&words)[kStateWords]);
    unsigned next() override;

private:
    void generate();

    int count_;
    unsigned results_[kStateWords];
    unsigned memory_[kStateWords];
    unsigned a_, b_, c_;
};

}  // namespace impl

// The next number of the process-wide generator, which is made and seeded on
// first use. Safe on any thread.
unsigned nextRandom();

// n bytes, each the low 8 bits of one nextRandom() in turn.
ByteArray randomBytes(unsigned n);

}  // namespace util
}  // namespace kesh
