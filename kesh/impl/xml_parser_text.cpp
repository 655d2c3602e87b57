#include "kesh/impl/xml_parser_text.h"

#include <algorithm>
#include <cstring>

namespace kesh {
namespace xml {
namespace impl {

namespace {

const size_t kMaxRepeatedLength = 40;
const size_t kRepeatedSlots = 512;
const size_t kLargeText = 64 * 1024;
const size_t kMaxText = 0xFFFFFFF0u;  // a String's length is 32-bit

inline unsigned long long load64(const char* data)
{
    unsigned long long word;
    std::memcpy(&word, data, 8);
    return word;
}

inline unsigned long long load32(const char* data)
{
    unsigned word;
    std::memcpy(&word, data, 4);
    return word;
}

// The last 1 to 8 bytes as one word. Whole loads, overlapping where the
// bytes are fewer: gathering them byte by byte into a word in memory and
// reading it back stalls the processor on every short name.
inline unsigned long long tailWord(const char* data, size_t n)
{
    if (n == 8) return load64(data);
    if (n >= 4) return load32(data) | load32(data + n - 4) << 32;
    const unsigned char* b = reinterpret_cast<const unsigned char*>(data);
    return b[0] | static_cast<unsigned long long>(b[n / 2]) << 8 | static_cast<unsigned long long>(b[n - 1]) << 16;
}

// Eight bytes a step: names and values are hashed on every tag. The length
// is mixed in, so the overlapping tail tells texts of different lengths
// apart.
unsigned hashOf(const char* data, size_t length)
{
    const unsigned long long k = 0x9E3779B97F4A7C15ull;
    unsigned long long h = length * k;
    for (; length > 8; data += 8, length -= 8) h = (h ^ load64(data)) * k;
    if (length) h = (h ^ tailWord(data, length)) * k;
    // The top bits depend on every byte: fold them into the low ones.
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ull;
    return static_cast<unsigned>(h ^ (h >> 32));
}

inline bool isSpace(char c)
{
    return c == ' ' || (c >= 9 && c <= 13);
}

}  // namespace

// ---- RepeatedStrings

String RepeatedStrings::get(const char* data, size_t length)
{
    if (length > kMaxRepeatedLength) return String(data, static_cast<unsigned>(length));
    const unsigned hash = hashOf(data, length);
    if (slots_.empty()) slots_.resize(kRepeatedSlots);
    Slot& slot = slots_[hash % kRepeatedSlots];
    if (slot.hash == hash && slot.length == length && std::memcmp(slot.text.c_str(), data, length) == 0)
        return slot.text;
    // A text is kept from its second sight on: most values (ids, sizes,
    // texts) come once, and keeping each of them would only trade one kept
    // String for the next.
    if (slot.seen != hash) {
        slot.seen = hash;
        return String(data, static_cast<unsigned>(length));
    }
    slot.text = String(data, static_cast<unsigned>(length));
    slot.hash = hash;
    slot.length = slot.text.length();  // short of length only when out of memory
    return slot.text;
}

String RepeatedStrings::get(const char* text)
{
    return get(text, std::strlen(text));
}

void RepeatedStrings::clear()
{
    std::vector<Slot>().swap(slots_);
}

// ---- PendingText

bool PendingText::append(const char* data, size_t length, size_t sizeHint)
{
    if (length_ + length > capacity_ && !grow(length_ + length, sizeHint)) return false;
    std::memcpy(bytes_ + length_, data, length);
    length_ += length;
    return true;
}

bool PendingText::grow(size_t needed, size_t sizeHint)
{
    if (needed > kMaxText) return false;
    size_t room = std::max(needed, std::max(2 * capacity_, size_t(64)));
    // Room for the whole piece at once spares a large run the copies of
    // stepwise growth.
    if (needed > kLargeText) room = std::max(room, sizeHint);
    room = std::min(room, kMaxText);
    // getBuffer keeps the run (the bytes before the first zero) and zeroes
    // the rest, so the String's text is always exactly the run.
    char* bytes = buffer_.getBuffer(static_cast<unsigned>(room));
    if (!bytes) return false;
    bytes_ = bytes;
    capacity_ = room;
    return true;
}

bool PendingText::take(RepeatedStrings& strings, String& text)
{
    if (length_ == 0) return false;
    size_t first = 0;
    size_t end = length_;
    while (first < end && isSpace(bytes_[first])) ++first;
    while (end > first && isSpace(bytes_[end - 1])) --end;
    if (first == end) {
        restart();
        return false;
    }
    const size_t n = end - first;
    // A large run that fills most of its buffer is handed over as it is;
    // anything else is copied into a String of its own size.
    if (n > kLargeText && capacity_ - n <= n / 4) {
        if (first) std::memmove(bytes_, bytes_ + first, n);
        std::memset(bytes_ + n, 0, length_ - n);
        text = buffer_;
        buffer_ = String();
        bytes_ = nullptr;
        length_ = capacity_ = 0;
        return true;
    }
    text = strings.get(bytes_ + first, n);
    restart();
    return true;
}

void PendingText::restart()
{
    std::memset(bytes_, 0, length_);
    length_ = 0;
}

void PendingText::release()
{
    buffer_ = String();
    bytes_ = nullptr;
    length_ = capacity_ = 0;
}

}  // namespace impl
}  // namespace xml
}  // namespace kesh
