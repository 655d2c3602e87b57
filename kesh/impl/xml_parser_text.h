#pragma once

// The parser's text helpers: what turns expat's pieces of character data
// and its names and values into Strings with as few copies and allocations
// as a String allows.

#include "kesh/string.h"

#include <cstddef>
#include <vector>

namespace kesh {
namespace xml {
namespace impl {

// Names, and many short values, repeat all through a document; handing out
// shared copies of one String saves its allocation on every repeat.
// Direct-mapped and small, so a miss costs a hash and a compare. A String
// taken from here is an ordinary copy-on-write value.
class RepeatedStrings {
public:
    String get(const char* data, size_t length);
    String get(const char* text);
    void clear();

private:
    // The hash and length are kept beside the text, so a miss is told
    // without reading the text's bytes; seen is the hash of the last text
    // that missed here.
    struct Slot {
        unsigned hash = 0;
        unsigned seen = 0;
        size_t length = 0;
        String text;
    };
    std::vector<Slot> slots_;
};

// One run of character data between two tags. expat hands it over in many
// small pieces; they are written straight into the bytes of a String, so a
// large run becomes its text node without being copied again.
class PendingText {
public:
    PendingText() = default;
    PendingText(const PendingText&) = delete;
    PendingText& operator=(const PendingText&) = delete;

    // sizeHint: the length of the input piece, which a run of text seldom
    // exceeds. False when no memory could be had.
    bool append(const char* data, size_t length, size_t sizeHint);
    // Whether no byte came since the run began.
    bool isEmpty() const { return length_ == 0; }
    // The run without white space at either end; false (and text left
    // alone) when nothing else is in it. Either way a new run begins.
    bool take(RepeatedStrings& strings, String& text);
    // Frees the buffer.
    void release();

private:
    bool grow(size_t needed, size_t sizeHint);
    void restart();

    String buffer_;
    char* bytes_ = nullptr;  // buffer_'s own bytes, zero behind the run
    size_t length_ = 0;
    size_t capacity_ = 0;
};

}  // namespace impl
}  // namespace xml
}  // namespace kesh
