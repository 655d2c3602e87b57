#pragma once

#include "kesh/array.h"

#include <boost/shared_array.hpp>
#include <boost/shared_ptr.hpp>

#include <string>
#include <utility>

namespace kesh {

namespace __ {
// Owns the buffer of one text: UTF-8 bytes and a NUL, or null for the empty
// text. The length is kept so that building a text piece by piece stays
// linear; while the buffer is handed out for writing (getBuffer) the text
// ends at its first NUL and the length is counted on each request. A short
// text made at once lives in the stub's own heap block (inBlock), behind
// the shared count: one block per text instead of two. It cannot grow there:
// the first growth moves it to a run-time heap buffer of its own.
struct StringStub {
    char* buffer = nullptr;
    unsigned length = 0;
    bool handedOut = false;
    bool inBlock = false;
    StringStub() = default;
    StringStub(char* owned, unsigned ownedLength) : buffer(owned), length(ownedLength) {}
    ~StringStub();
    StringStub(const StringStub&) = delete;
    StringStub& operator=(const StringStub&) = delete;
};
}  // namespace __

class String;
typedef TArray<String> StringArray;

// The library's text value: UTF-8 bytes without NUL bytes inside, at most
// 4294967294 of them: what would make a text longer (an append, a splice, a
// UTF-16 text) is refused, the text left as it was or empty.
// Copies share one buffer, which is copied on the first change made through a
// copy that is not its only holder. Lengths, positions and counts are byte
// counts; npos (all bits set) means "not found" as a result and "up to the
// end" as a count. Case folding pairs only A-Z with a-z.
class String {
public:
    static constexpr unsigned npos = 0xFFFFFFFFu;

    String();
    // The bytes of text up to its first NUL or maxLen bytes; null gives "".
    String(const char* text, unsigned maxLen = npos);
    // UTF-16 to UTF-8 over at most count units, stopping at a NUL unit. Each
    // unit is encoded by itself (surrogates are not paired).
    String(const wchar_t* text, unsigned count = npos);
    String(const boost::shared_array<wchar_t>& text, unsigned count);
    // Digits 0-9 and A-Z in base 2 to 36, "-" first for a negative value.
    String(int value, unsigned base);
    String(unsigned value, unsigned base);

    // UTF-8 to UTF-16 in a new NUL-terminated array of length()+1 units.
    // A sequence cut off by the end yields nothing; a 4-byte sequence and a
    // stray byte each yield 0xFFFF.
    boost::shared_array<wchar_t> toWide() const;

    // printf-style formatting; an encoding error gives the empty text, and
    // so does an integer field (width or precision of d, i, o, u, x, X, p)
    // wider than 65536, an output that could reach 2^31 bytes, or a
    // conversion or length modifier the library does not know (%q, %w).
    static String format(const char* fmt, ...) __attribute__((format(gnu_printf, 1, 2)));

    unsigned length() const;
    bool isEmpty() const;
    const char* c_str() const;  // never null

    // Leading white space, an optional sign, "0x" in base 16, then digits up
    // to the first byte that is not one. Out of range: toLong clamps,
    // toULong gives 4294967295; "-" negates modulo 2^32 in toULong.
    long toLong(unsigned base) const;
    unsigned long toULong(unsigned base) const;

    // Case-sensitive: -1, 0 or 1 by the first differing unsigned byte.
    // Ignoring case: the difference of the first differing folded bytes.
    int compare(const char* other, bool ignoreCase = false) const;
    bool startsWith(const char* prefix, bool ignoreCase = false) const;
    bool startsWith(const String& prefix, bool ignoreCase = false) const;

    unsigned find(const char* pattern, unsigned from = 0, bool ignoreCase = false) const;
    unsigned find(char c, unsigned from = 0, bool ignoreCase = false) const;
    unsigned rfind(const char* pattern, unsigned from = npos, bool ignoreCase = false) const;
    unsigned findAnyOf(const char* chars, unsigned from = 0, bool ignoreCase = false) const;

    String substr(unsigned pos, unsigned count = npos) const;
    String left(unsigned count) const;
    String toLowerCopy() const;

    // The pieces between separator bytes; without keepEmpty, runs of
    // separators give no empty pieces.
    StringArray split(const char* separators, bool keepEmpty = false, bool ignoreCase = false) const;
    StringArray split(char separator, bool keepEmpty = false, bool ignoreCase = false) const;

    String& append(const char* text);
    String& append(char c);
    // Replaces count bytes at pos by text; appends when pos is at or beyond
    // the end.
    String& splice(const char* text, unsigned pos, unsigned count);
    // Replaces the first or every occurrence of target at or after from; the
    // search goes on behind each inserted text. True when one was replaced.
    // An empty target replaces nothing.
    bool replace(const char* target, const char* subs, bool all = true, unsigned from = 0,
                 bool ignoreCase = false);
    String& trimLeft();
    String& trimRight();
    String& trim();
    String& toLower();

    // A writable buffer of at least n+1 bytes holding the text, zero-filled
    // behind it. The caller writes at most n bytes; the text then ends at the
    // first NUL. Null when n is npos (no count could tell that text's
    // length) or when no memory could be had.
    char* getBuffer(unsigned n);

private:
    String(char* ownedBuffer, unsigned length);
    // False, nothing changed, when the result would not fit or no memory
    // could be had.
    bool replaceRange(unsigned pos, unsigned count, const char* text, unsigned textLength);
    bool isSoleHolder() const;
    // Whether text points into this String's own bytes or at their NUL.
    bool holdsText(const char* text) const;

    boost::shared_ptr<__::StringStub> stub_;
};

String operator+(const char* a, const String& b);
String operator+(const String& a, const char* b);
String operator+(const String& a, const String& b);

// A name and its value; both are shared, not copied.
struct StringPair {
    String first;
    String second;
    StringPair() {}
    StringPair(const String& name, const String& value) : first(name), second(value) {}
    // Takes over two Strings the caller gives up.
    StringPair(String&& name, String&& value) : first(std::move(name)), second(std::move(value)) {}
};

// The index of the first element equal to name byte for byte, else npos.
unsigned indexOf(const StringArray& array, const String& name);

// A library text in UTF-16, as windows, controls and system calls take it
// (String::toWide).
std::wstring Wide(const String& text);

}  // namespace kesh
