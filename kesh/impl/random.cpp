#include "kesh/random.h"

#include "kesh/impl/globals.h"

#include <atomic>
#include <cstdlib>
#include <ctime>

namespace kesh {
namespace util {

namespace impl {

namespace {

inline void mix(unsigned (&x)[8])
{
    unsigned &a = x[0], &b = x[1], &c = x[2], &d = x[3], &e = x[4], &f = x[5], &g = x[6], &h = x[7];
    a ^= b << 11; d += a; b += c;
    b ^= c >> 2;  e += b; c += d;
    c ^= d << 8;  f += c; d += e;
    d ^= e >> 16; g += d; e += f;
    e ^= f << 10; h += e; f += g;
    f ^= g >> 4;  a += f; g += h;
    g ^= h << 8;  b += g; h += a;
    h ^= a >> 9;  c += h; a += b;
}

// Folds source into the mixing words eight at a time and stores each mixed
// group into memory.
void mixInto(unsigned (&x)[8], const unsigned* source, unsigned* memory)
{
    for (unsigned i = 0; i < Random::kStateWords; i += 8) {
        for (unsigned k = 0; k < 8; ++k) x[k] += source[i + k];
        mix(x);
        for (unsigned k = 0; k < 8; ++k) memory[i + k] = x[k];
    }
}

}  // namespace

Random::Random() : count_(0), results_(), memory_(), a_(0), b_(0), c_(0)
{
    const unsigned long long calendar = static_cast<unsigned long long>(_time64(nullptr));
    seed(static_cast<unsigned>(calendar) + static_cast<unsigned>(std::clock()));
}

void Random::seed(unsigned s)
{
    unsigned words[kStateWords];
    for (unsigned i = 0; i < kStateWords; ++i) words[i] = s + i;
    seedWords(words);
}

void Random::seedWords(const unsigned (&words)[kStateWords])
{
    for (unsigned i = 0; i < kStateWords; ++i) results_[i] = words[i];
    a_ = b_ = c_ = 0;
    unsigned x[8];
    for (unsigned& w : x) w = 0x9e3779b9;  // the golden ratio
    for (int i = 0; i < 4; ++i) mix(x);
    mixInto(x, results_, memory_);
    mixInto(x, memory_, memory_);  // a second pass lets every seed word reach every state word
    generate();
    count_ = kStateWords;
}

unsigned Random::next()
{
    if (count_ == 0) {
        generate();
        count_ = kStateWords;
    }
    return results_[--count_];
}

void Random::generate()
{
    const unsigned half = kStateWords / 2;
    unsigned a = a_;
    unsigned b = b_ + (++c_);
    for (unsigned i = 0; i < kStateWords; ++i) {
        switch (i % 4) {
        case 0: a ^= a << 13; break;
        case 1: a ^= a >> 6; break;
        case 2: a ^= a << 2; break;
        default: a ^= a >> 16; break;
        }
        const unsigned x = memory_[i];
        a += memory_[(i + half) % kStateWords];
        const unsigned y = memory_[(x >> 2) % kStateWords] + a + b;
        memory_[i] = y;
        b = memory_[(y >> 10) % kStateWords] + x;
        results_[i] = b;
    }
    a_ = a;
    b_ = b;
}

}  // namespace impl

namespace {

struct SharedGenerator {
    impl::Random random;
    sys::Mutex mutex;
};

// Zero before any code runs; set once under the creation mutex and deleted at
// exit.
std::atomic<SharedGenerator*> sharedGenerator(nullptr);

void destroySharedGenerator()
{
    delete sharedGenerator.exchange(nullptr);
}

SharedGenerator& shared()
{
    SharedGenerator* generator = sharedGenerator.load(std::memory_order_acquire);
    if (generator) return *generator;
    sys::ScopedLock lock(kesh::__::randomGeneratorMutex);
    generator = sharedGenerator.load(std::memory_order_acquire);
    if (!generator) {
        generator = new SharedGenerator;
        sharedGenerator.store(generator, std::memory_order_release);
        std::atexit(destroySharedGenerator);
    }
    return *generator;
}

}  // namespace

unsigned nextRandom()
{
    SharedGenerator& generator = shared();
    sys::ScopedLock lock(generator.mutex);
    return generator.random.next();
}

ByteArray randomBytes(unsigned n)
{
    ByteArray bytes;
    unsigned char* out = bytes.data(n);
    if (!out) return ByteArray();
    for (unsigned i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(nextRandom());
    return bytes;
}

}  // namespace util
}  // namespace kesh
