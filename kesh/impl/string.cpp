#include "kesh/string.h"

#include "kesh/impl/format_fields.h"
#include "kesh/impl/string_chars.h"

#include <boost/make_shared.hpp>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>

namespace kesh {

namespace __ {

StringStub::~StringStub()
{
    if (!inBlock) std::free(buffer);
}

namespace {

// The longest text a String holds: its length, and the NUL after it, must
// fit the 32-bit counts with npos kept apart.
constexpr unsigned long long kMaxLength = 0xFFFFFFFEu;

// A text too long for a String counts as npos, which nothing accepts.
inline unsigned textLength(const char* text)
{
    const size_t n = std::strlen(text);
    return n <= kMaxLength ? static_cast<unsigned>(n) : 0xFFFFFFFFu;
}

char* allocateText(unsigned length)
{
    char* p = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
    if (p) p[length] = 0;
    return p;
}

// Texts up to this long share the stub's heap block. A longer one keeps a
// buffer of its own, so that running out of memory for it gives the empty
// text (as the String's contract says) rather than the allocator's exception.
constexpr unsigned kMaxInBlock = 1024;

// Resizes a sole holder's buffer to size bytes, keeping its first keep
// bytes; a text in the stub's block moves to a heap buffer of its own. Null,
// the buffer unchanged, when no memory could be had.
char* resizeBuffer(StringStub& stub, size_t size, size_t keep)
{
    if (!stub.inBlock) {
        char* grown = static_cast<char*>(std::realloc(stub.buffer, size));
        if (grown) stub.buffer = grown;
        return grown;
    }
    char* moved = static_cast<char*>(std::malloc(size));
    if (!moved) return nullptr;
    std::memcpy(moved, stub.buffer, keep < size ? keep : size);
    stub.buffer = moved;
    stub.inBlock = false;
    return moved;
}

// A stub with room for length bytes and the NUL, which is written; the
// caller fills the bytes. Empty when no memory could be had for a long text.
boost::shared_ptr<StringStub> newStub(unsigned length)
{
    if (length > kMaxInBlock) {
        char* buffer = allocateText(length);
        if (!buffer) return boost::shared_ptr<StringStub>();
        return boost::make_shared<StringStub>(buffer, length);
    }
    BlockTail tail = {static_cast<size_t>(length) + 1, nullptr};
    boost::shared_ptr<StringStub> stub = boost::allocate_shared<StringStub>(TailAllocator<StringStub>(&tail));
    stub->buffer = static_cast<char*>(tail.at);
    stub->length = length;
    stub->inBlock = true;
    stub->buffer[length] = 0;
    return stub;
}

bool sameBytes(const unsigned char* a, const unsigned char* b, unsigned n, bool ignoreCase)
{
    if (!ignoreCase) return std::memcmp(a, b, n) == 0;
    for (unsigned i = 0; i < n; ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

}  // namespace
}  // namespace __

using namespace __;

namespace {
const char kEmptyText[] = "";

// Every empty String shares one stub: it is never the sole holder's, so the
// first change of any of them takes a buffer of its own. Saves one heap
// block per empty text (XML trees and parameter lists hold many).
const boost::shared_ptr<StringStub>& emptyStub()
{
    static const boost::shared_ptr<StringStub> empty = boost::make_shared<StringStub>();
    return empty;
}

// The constructors build the stub first and the String's handle from it:
// a handle set to the shared empty stub and then replaced would change its
// shared count twice for nothing.

// The n bytes at text; the shared empty stub for none, for too many or when
// no memory could be had.
boost::shared_ptr<StringStub> stubOf(const char* text, size_t n)
{
    if (n == 0 || n > kMaxLength) return emptyStub();
    boost::shared_ptr<StringStub> stub = newStub(static_cast<unsigned>(n));
    if (!stub) return emptyStub();
    std::memcpy(stub->buffer, text, n);
    return stub;
}

// UTF-16 to UTF-8, each unit by itself.
boost::shared_ptr<StringStub> stubOfWide(const wchar_t* text, unsigned count)
{
    if (!text) return emptyStub();
    unsigned units = 0;
    size_t bytes = 0;
    for (; units < count && text[units]; ++units) {
        const unsigned u = static_cast<unsigned short>(text[units]);
        bytes += u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
        if (bytes > kMaxLength) return emptyStub();  // refused: the count would wrap
    }
    if (bytes == 0) return emptyStub();
    boost::shared_ptr<StringStub> stub = newStub(static_cast<unsigned>(bytes));
    if (!stub) return emptyStub();
    char* out = stub->buffer;
    for (unsigned i = 0; i < units; ++i) {
        const unsigned u = static_cast<unsigned short>(text[i]);
        if (u < 0x80) {
            *out++ = static_cast<char>(u);
        } else if (u < 0x800) {
            *out++ = static_cast<char>(0xC0 | ((u >> 6) & 0x1F));
            *out++ = static_cast<char>(0x80 | (u & 0x3F));
        } else {
            *out++ = static_cast<char>(0xE0 | (u >> 12));
            *out++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return stub;
}
}  // namespace

String::String() : stub_(emptyStub()) {}

String::String(char* ownedBuffer, unsigned length) : stub_(boost::make_shared<StringStub>(ownedBuffer, length)) {}

String::String(const char* text, unsigned maxLen) : stub_(stubOf(text, text && maxLen ? strnlen(text, maxLen) : 0))
{
}

String::String(const wchar_t* text, unsigned count) : stub_(stubOfWide(text, count)) {}

String::String(const boost::shared_array<wchar_t>& text, unsigned count) : String(text.get(), count) {}

boost::shared_array<wchar_t> String::toWide() const
{
    const unsigned len = length();
    boost::shared_array<wchar_t> wide(new wchar_t[static_cast<size_t>(len) + 1]);
    const unsigned char* s = reinterpret_cast<const unsigned char*>(c_str());
    wchar_t* out = wide.get();
    unsigned p = 0;
    while (p < len) {
        const unsigned b = s[p];
        if (b < 0x80) {
            *out++ = static_cast<wchar_t>(b);
            p += 1;
        } else if ((b & 0xE0) == 0xC0) {
            if (p + 1 < len) *out++ = static_cast<wchar_t>(((b & 0x1F) << 6) | (s[p + 1] & 0x3F));
            p += 2;
        } else if ((b & 0xF0) == 0xE0) {
            if (p + 2 < len)
                *out++ = static_cast<wchar_t>(((b << 12) | ((s[p + 1] & 0x3F) << 6) | (s[p + 2] & 0x3F)) & 0xFFFF);
            p += 3;
        } else {
            p += (b & 0xF8) == 0xF0 ? 4 : (b & 0xFC) == 0xF8 ? 5 : 6;
            if (p > len) break;
            *out++ = static_cast<wchar_t>(0xFFFF);
        }
    }
    *out = 0;
    return wide;
}

String String::format(const char* fmt, ...)
{
    KESH_ASSERT(fmt);
    va_list checked;
    va_start(checked, fmt);
    const bool fits = __::formatFits(fmt, checked);
    va_end(checked);
    if (!fits) return String();
    size_t size = 16;
    for (;;) {
        char* buffer = static_cast<char*>(std::malloc(size));
        if (!buffer) return String();
        va_list args;
        va_start(args, fmt);
        const int n = std::vsnprintf(buffer, size, fmt, args);
        va_end(args);
        if (n < 0) {
            // The formatter reports an encoding error, not a short buffer.
            std::free(buffer);
            return String();
        }
        // A %c of 0 puts a NUL inside: the text ends there.
        if (static_cast<size_t>(n) < size) return String(buffer, static_cast<unsigned>(strnlen(buffer, n)));
        std::free(buffer);
        size = static_cast<size_t>(n) + 1;
    }
}

unsigned String::length() const
{
    if (!stub_->buffer) return 0;
    return stub_->handedOut ? textLength(stub_->buffer) : stub_->length;
}

bool String::isEmpty() const
{
    return !stub_->buffer || !stub_->buffer[0];
}

const char* String::c_str() const
{
    return stub_->buffer ? stub_->buffer : kEmptyText;
}

int String::compare(const char* other, bool ignoreCase) const
{
    KESH_ASSERT(other);
    const unsigned char* a = reinterpret_cast<const unsigned char*>(c_str());
    const unsigned char* b = reinterpret_cast<const unsigned char*>(other);
    if (ignoreCase) {
        for (;; ++a, ++b) {
            const int d = static_cast<int>(upper(*a)) - static_cast<int>(upper(*b));
            if (d != 0 || !*a) return d;
        }
    }
    for (; *a && *a == *b; ++a, ++b) {
    }
    return *a == *b ? 0 : (*a < *b ? -1 : 1);
}

bool String::startsWith(const char* prefix, bool ignoreCase) const
{
    const char* const cstr = prefix;
    KESH_ASSERT(cstr);
    const unsigned n = textLength(prefix);
    if (n == 0) return true;
    if (length() < n) return false;
    return sameBytes(reinterpret_cast<const unsigned char*>(c_str()),
                     reinterpret_cast<const unsigned char*>(prefix), n, ignoreCase);
}

bool String::startsWith(const String& prefix, bool ignoreCase) const
{
    return startsWith(prefix.c_str(), ignoreCase);
}

// Slides a window over the text, keeping the sum of its upper-cased bytes,
// and compares bytes only where that sum equals the pattern's.
unsigned String::find(const char* pattern, unsigned from, bool ignoreCase) const
{
    const char* const cstr = pattern;
    KESH_ASSERT(cstr);
    const unsigned n = textLength(pattern);
    if (n == 0) return 0;
    const unsigned len = length();
    if (from > len || n > len - from) return npos;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(c_str());
    const unsigned char* pat = reinterpret_cast<const unsigned char*>(pattern);
    unsigned long long target = 0, window = 0;
    for (unsigned i = 0; i < n; ++i) {
        target += upper(pat[i]);
        window += upper(s[from + i]);
    }
    for (;;) {
        if (window == target && sameBytes(s + from, pat, n, ignoreCase)) return from;
        if (n >= len - from) return npos;
        window += upper(s[from + n]);
        window -= upper(s[from]);
        ++from;
    }
}

unsigned String::find(char c, unsigned from, bool ignoreCase) const
{
    const unsigned len = length();
    if (from >= len) return npos;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(c_str());
    if (!ignoreCase) {
        const void* hit = std::memchr(s + from, static_cast<unsigned char>(c), len - from);
        return hit ? static_cast<unsigned>(static_cast<const unsigned char*>(hit) - s) : npos;
    }
    const unsigned char want = upper(static_cast<unsigned char>(c));
    for (unsigned i = from; i < len; ++i)
        if (upper(s[i]) == want) return i;
    return npos;
}

unsigned String::rfind(const char* pattern, unsigned from, bool ignoreCase) const
{
    const char* const cstr = pattern;
    KESH_ASSERT(cstr);
    const unsigned n = textLength(pattern);
    const unsigned len = length();
    if (n == 0) return from < len ? from : len;
    if (len < n) return npos;
    unsigned start = len - n;
    if (from < start) start = from;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(c_str());
    const unsigned char* pat = reinterpret_cast<const unsigned char*>(pattern);
    unsigned long long target = 0, window = 0;
    for (unsigned i = 0; i < n; ++i) {
        target += upper(pat[i]);
        window += upper(s[start + i]);
    }
    for (;;) {
        if (window == target && sameBytes(s + start, pat, n, ignoreCase)) return start;
        if (start == 0) return npos;
        --start;
        window += upper(s[start]);
        window -= upper(s[start + n]);
    }
}

unsigned String::findAnyOf(const char* chars, unsigned from, bool ignoreCase) const
{
    KESH_ASSERT(chars);
    const unsigned len = length();
    if (!*chars || from >= len) return npos;
    bool wanted[256] = {};
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(chars); *c; ++c) {
        wanted[*c] = true;
        if (ignoreCase) {
            wanted[upper(*c)] = true;
            wanted[lower(*c)] = true;
        }
    }
    const unsigned char* s = reinterpret_cast<const unsigned char*>(c_str());
    for (unsigned i = from; i < len; ++i)
        if (wanted[s[i]]) return i;
    return npos;
}

String String::substr(unsigned pos, unsigned count) const
{
    const unsigned len = length();
    if (count == 0 || pos >= len) return String();
    if (count > len - pos) count = len - pos;
    return String(c_str() + pos, count);
}

String String::left(unsigned count) const
{
    return substr(0, count);
}

String String::toLowerCopy() const
{
    String copy(*this);
    return copy.toLower();
}

StringArray String::split(const char* separators, bool keepEmpty, bool ignoreCase) const
{
    KESH_ASSERT(separators);
    StringArray pieces;
    if (!*separators || isEmpty()) return pieces;
    const unsigned len = length();
    unsigned e = 0;
    unsigned d = findAnyOf(separators, 0, ignoreCase);
    if (d == 0) {
        if (keepEmpty) {
            pieces.append(String());
            e = 1;
        } else {
            while (d == e) d = findAnyOf(separators, ++e, ignoreCase);
        }
        if (keepEmpty) d = findAnyOf(separators, e, ignoreCase);
    }
    while (d != npos) {
        pieces.append(substr(e, d - e));
        e = d + 1;
        d = findAnyOf(separators, e, ignoreCase);
        if (!keepEmpty)
            while (d == e) d = findAnyOf(separators, ++e, ignoreCase);
    }
    if (keepEmpty || e < len) pieces.append(substr(e));
    return pieces;
}

StringArray String::split(char separator, bool keepEmpty, bool ignoreCase) const
{
    const char separators[2] = {separator, 0};
    return split(separators, keepEmpty, ignoreCase);
}

bool String::isSoleHolder() const
{
    return stub_.use_count() == 1;
}

bool String::holdsText(const char* text) const
{
    const char* own = stub_->buffer;
    return own && text >= own && text <= own + length();
}

// The one place that changes the text. A sole holder changes its buffer in
// place; a shared buffer, or a text that lies inside the own buffer, takes a
// new one so other holders (and the source text) stay as they were.
bool String::replaceRange(unsigned pos, unsigned count, const char* text, unsigned textLen)
{
    const unsigned len = length();
    // Refused, the text unchanged, when the result would not fit: a wrapped
    // length would allocate short and write past the end.
    const unsigned long long wanted = static_cast<unsigned long long>(len) - count + textLen;
    if (wanted > kMaxLength) return false;
    const unsigned newLen = static_cast<unsigned>(wanted);
    char* old = stub_->buffer;
    const bool inside = holdsText(text);
    if (isSoleHolder() && !inside) {
        const size_t needed = static_cast<size_t>(newLen) + 1;
        // A text in the stub's block has room for what it holds, no more.
        const size_t capacity = !old ? 0 : stub_->inBlock ? static_cast<size_t>(len) + 1 : _msize(old);
        if (needed > capacity) {
            // The run-time heap moves a block on most growths, so exact-size
            // growth would make piecewise building quadratic; grow by half.
            const size_t grow = needed > capacity + capacity / 2 ? needed : capacity + capacity / 2;
            old = resizeBuffer(*stub_, grow, len);
            if (!old) return false;
        }
        std::memmove(old + pos + textLen, old + pos + count, len - pos - count);
        std::memcpy(old + pos, text, textLen);
        old[newLen] = 0;
        stub_->length = newLen;
        stub_->handedOut = false;
        return true;
    }
    boost::shared_ptr<StringStub> stub = newStub(newLen);
    if (!stub) return false;
    char* fresh = stub->buffer;
    if (pos) std::memcpy(fresh, old, pos);
    std::memcpy(fresh + pos, text, textLen);
    std::memcpy(fresh + pos + textLen, (old ? old : kEmptyText) + pos + count, len - pos - count);
    stub_ = std::move(stub);
    return true;
}

String& String::append(const char* text)
{
    if (text && *text) replaceRange(length(), 0, text, textLength(text));
    return *this;
}

String& String::append(char c)
{
    const char text[2] = {c, 0};
    if (c) replaceRange(length(), 0, text, 1);
    return *this;
}

String& String::splice(const char* text, unsigned pos, unsigned count)
{
    const char* const cstr = text;
    KESH_ASSERT(cstr);
    const unsigned n = textLength(text);
    const unsigned len = length();
    if (pos >= len) return append(text);
    if (count > len - pos) count = len - pos;
    if (n == 0 && count == 0) return *this;
    replaceRange(pos, count, text, n);
    return *this;
}

bool String::replace(const char* target, const char* subs, bool all, unsigned from, bool ignoreCase)
{
    KESH_ASSERT(target);
    KESH_ASSERT(subs);
    const unsigned targetLen = textLength(target);
    const unsigned subsLen = textLength(subs);
    if (targetLen == 0) return false;
    // The first splice changes or frees this String's buffer: a target or
    // substitute that lies in it is read from a copy of its own.
    String targetCopy, subsCopy;
    if (holdsText(target)) target = (targetCopy = String(target)).c_str();
    if (holdsText(subs)) subs = (subsCopy = String(subs)).c_str();
    bool replaced = false;
    for (;;) {
        const unsigned p = find(target, from, ignoreCase);
        if (p == npos) break;
        if (!replaceRange(p, targetLen, subs, subsLen)) break;
        replaced = true;
        from = p + subsLen;
        if (!all) break;
    }
    return replaced;
}

String& String::trimLeft()
{
    const unsigned char* s = reinterpret_cast<const unsigned char*>(c_str());
    unsigned n = 0;
    while (isSpace(s[n])) ++n;
    if (n) replaceRange(0, n, kEmptyText, 0);
    return *this;
}

String& String::trimRight()
{
    const unsigned len = length();
    const unsigned char* s = reinterpret_cast<const unsigned char*>(c_str());
    unsigned end = len;
    while (end > 0 && isSpace(s[end - 1])) --end;
    if (end < len) replaceRange(end, len - end, kEmptyText, 0);
    return *this;
}

String& String::trim()
{
    return trimLeft().trimRight();
}

String& String::toLower()
{
    const unsigned len = length();
    if (len == 0) return *this;
    char* s = getBuffer(len);
    if (!s) return *this;
    for (unsigned i = 0; i < len; ++i) s[i] = static_cast<char>(lower(static_cast<unsigned char>(s[i])));
    // No NUL was written: the text is still the len bytes counted above,
    // which a caller's writes through getBuffer may have made shorter than
    // the length last stored.
    stub_->length = len;
    stub_->handedOut = false;
    return *this;
}

char* String::getBuffer(unsigned n)
{
    // Room for npos bytes and the NUL does not fit the 32-bit counts.
    if (n == npos) return nullptr;
    const unsigned len = length();
    if (!(isSoleHolder() && len >= n && len != 0)) {
        const size_t size = static_cast<size_t>(len > n ? len : n) + 1;
        char* buffer;
        if (isSoleHolder()) {
            buffer = resizeBuffer(*stub_, size, len);
            if (!buffer) return nullptr;
        } else {
            buffer = static_cast<char*>(std::malloc(size));
            if (!buffer) return nullptr;
            std::memcpy(buffer, c_str(), len);
            stub_ = boost::make_shared<StringStub>(buffer, len);
        }
        std::memset(buffer + len, 0, size - len);
    }
    stub_->handedOut = true;
    return stub_->buffer;
}

String operator+(const char* a, const String& b)
{
    String r(b);
    return r.splice(a, 0, 0);
}

String operator+(const String& a, const char* b)
{
    String r(a);
    return r.append(b);
}

String operator+(const String& a, const String& b)
{
    String r(a);
    return r.append(b.c_str());
}

unsigned indexOf(const StringArray& array, const String& name)
{
    for (unsigned i = 0; i < array.size(); ++i)
        if (array.at(i).compare(name.c_str()) == 0) return i;
    return String::npos;
}

std::wstring Wide(const String& text)
{
    return text.toWide().get();
}

}  // namespace kesh
