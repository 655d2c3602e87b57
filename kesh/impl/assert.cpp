#include "kesh/assert.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kesh {
namespace __ {

namespace {

// Names a library source relative to the library folder and without its
// extension (".\impl\string"), and any other source by its path as given.
void sourceName(const char* file, char* out, size_t outSize)
{
    const char* tail = nullptr;
    for (const char* p = std::strstr(file, "kesh/"); p; p = std::strstr(p + 1, "kesh/"))
        tail = p + 5;
    std::snprintf(out, outSize, tail ? ".\\%s" : "%s", tail ? tail : file);
    char* extension = nullptr;
    for (char* p = out; *p; ++p) {
        if (*p == '/') *p = '\\';
        if (*p == '\\') extension = nullptr;
        if (*p == '.' && p != out) extension = p;
    }
    if (tail && extension) *extension = 0;
}

}  // namespace

void assertionFailed(const char* expression, const char* file, unsigned line)
{
    char source[MAX_PATH];
    char text[1024];
    sourceName(file, source, sizeof source);
    std::snprintf(text, sizeof text, "Assertion failed: %s, file %s, line %u\n", expression, source, line);
    std::fputs(text, stderr);
    std::fflush(stderr);
    OutputDebugStringA(text);
    // Ends the process at once, with no destructors run on a state the
    // program itself has declared impossible.
    std::_Exit(3);
}

}  // namespace __
}  // namespace kesh
