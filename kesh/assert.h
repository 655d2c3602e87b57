#pragma once

// The library's precondition check. A failed check is a programming error:
// it names the expression, the source file and the line, then ends the
// process. It is never compiled out.
namespace kesh {
namespace __ {
[[noreturn]] void assertionFailed(const char* expression, const char* file, unsigned line);
}
}

#define KESH_ASSERT(expr) \
    ((expr) ? (void)0 : ::kesh::__::assertionFailed(#expr, __FILE__, __LINE__))
