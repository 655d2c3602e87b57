#include "kesh/path.h"

#include <windows.h>

#include <vector>

namespace kesh {
namespace fs {

namespace {

inline bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

// GetFullPathNameW into a buffer that fits, whatever the length.
String fullPathName(const String& text)
{
    boost::shared_array<wchar_t> wide = text.toWide();
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetFullPathNameW(wide.get(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (n == 0) return String();
        // Below the buffer size it is the length; otherwise the size needed,
        // which a change of the current directory between calls can move.
        if (n < buffer.size()) return String(buffer.data(), n);
        buffer.assign(n, 0);
    }
}

}  // namespace

String normalizePath(const String& text)
{
    String t = text + "/";
    const char* p = t.c_str();
    if (p[0] == '\\' && p[1] == '\\' && p[2] == '\\')
        t = t.substr(1);
    else if (t.length() > 3 && isSeparator(p[0]) && p[2] == ':')
        t = t.substr(1);
    String full = fullPathName(t);
    full.replace("/", "\\");
    return stripTrailingSeparator(full);
}

String stripTrailingSeparator(const String& text)
{
    unsigned n = text.length();
    const char* p = text.c_str();
    while (n > 0 && isSeparator(p[n - 1]) && !(n == 3 && p[1] == ':')) --n;
    return n == text.length() ? text : text.left(n);
}

Path::Path(const String& text)
{
    if (!text.isEmpty()) text_ = normalizePath(text);
}

Path Path::parent() const
{
    Path up;
    up.text_ = normalizePath(text_ + "/../");
    if (up.text_.compare(text_.c_str()) == 0) return Path();
    return up;
}

Path& Path::child(const String& name)
{
    text_ = normalizePath(text_ + "/" + name);
    return *this;
}

Path operator/(const Path& path, const String& name)
{
    Path result(path);
    result.child(name);
    return result;
}

String Path::getName() const
{
    const unsigned slash = text_.rfind("\\");
    return slash == String::npos ? text_ : text_.substr(slash + 1);
}

String Path::getTitle() const
{
    const String name = getName();
    const unsigned dot = name.rfind(".");
    return dot == String::npos ? name : name.left(dot);
}

String Path::getExtension() const
{
    const String name = getName();
    const unsigned dot = name.rfind(".");
    return dot == String::npos ? String() : name.substr(dot);
}

}  // namespace fs
}  // namespace kesh
