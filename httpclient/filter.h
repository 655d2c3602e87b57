#pragma once

// The client's one way of letting exceptions leave a member. Resources are
// held by guards, so they are released whatever leaves; what leaves is always
// an HTTP client exception of the member's family:
// - an HTTP client exception passes on unchanged;
// - a guarded-arithmetic failure becomes 111, 112 or 113;
// - a failed allocation becomes 102;
// - with the catch-all filters, anything else becomes 100.

#include "httpclient/exceptions.h"
#include "httpclient/safe_int.h"

#include <new>

namespace Tesmo {

template <class Body>
auto FilterW(Body&& body) -> decltype(body())
{
    try {
        return body();
    } catch (const httpclientexceptionW&) {
        throw;
    } catch (const SafeIntError& e) {
        ThrowSafeIntErrorW(e.code);
    } catch (const std::bad_alloc&) {
        ThrowErrorW(HttpErrorOutOfMemory);
    }
}

template <class Body>
auto FilterAllW(Body&& body) -> decltype(body())
{
    try {
        return FilterW(body);
    } catch (const httpclientexceptionW&) {
        throw;
    } catch (...) {
        ThrowErrorW(HttpErrorUnexpected);
    }
}

template <class Body>
auto FilterA(Body&& body) -> decltype(body())
{
    try {
        return body();
    } catch (const httpclientexceptionA&) {
        throw;
    } catch (const SafeIntError& e) {
        ThrowSafeIntErrorA(e.code);
    } catch (const std::bad_alloc&) {
        ThrowErrorA(HttpErrorOutOfMemory);
    }
}

}  // namespace Tesmo
