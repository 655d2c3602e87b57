#pragma once

#include "kesh/string.h"

namespace kesh {
namespace fs {

// text as an absolute Windows path: made absolute against the current
// directory and drive, "." and ".." resolved, "/" turned into "\", no
// trailing separator except in a drive root ("C:\"). A bare drive ("C:")
// gives that drive's root, a leading "/" or "\" before a drive path is
// dropped, three leading backslashes become the two of a UNC path. Long
// paths are kept whole. Empty when the system cannot resolve the text.
String normalizePath(const String& text);

// Removes trailing "\" and "/" but keeps the one of a drive root.
String stripTrailingSeparator(const String& text);

// A path value: empty, or a text that normalizePath gives back unchanged.
// Copies share the text. No operation touches the file system.
class Path {
public:
    Path() {}
    // Empty text gives the empty path; any other text is normalised.
    Path(const String& text);

    String toString() const { return text_; }
    bool isEmpty() const { return text_.isEmpty(); }

    // The folder holding this path; empty for a drive or share root. The
    // parent of the empty path is the current drive's root.
    Path parent() const;
    // Appends name (one or more parts, either separator, "." and ".."
    // allowed) and normalises; on the empty path, name lands below the
    // current drive's root.
    Path& child(const String& name);
    // A copy of path with child(name) applied; path is unchanged.
    friend Path operator/(const Path& path, const String& name);

    // The text after the last "\" (the whole text without one).
    String getName() const;
    // The name without its last "." and what follows it.
    String getTitle() const;
    // The name from its last "." on (".png"); empty without a dot.
    String getExtension() const;

private:
    String text_;
};

}  // namespace fs
}  // namespace kesh
