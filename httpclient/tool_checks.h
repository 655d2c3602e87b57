#pragma once

// Argument checks of CHttpToolW. Its texts are 8-bit and reach callers as
// wide exceptions of code 0 through ThrowAnsiMessageW.

#include "httpclient/filter.h"

#include <string>

namespace Tesmo {

inline void CheckNotNull(const void* p, const char* message)
{
    if (!p)
        ThrowAnsiMessageW(message, HttpErrorNotSpecified, 0);
}

// what: the operation and the argument, as in "CHttpToolW::OpenRequest: szObjectName".
inline void CheckText(const wchar_t* text, const char* what)
{
    if (!text)
        ThrowAnsiMessageW((std::string(what) + " can not be NULL.").c_str(), HttpErrorNotSpecified, 0);
    if (!*text)
        ThrowAnsiMessageW((std::string(what) + " can not be an empty string.").c_str(), HttpErrorNotSpecified, 0);
}

inline void CheckAnsiCodePage(UINT codePage, const char* operation)
{
    if (codePage == CP_UTF8 || codePage == CP_UTF7)
        ThrowAnsiMessageW(
            (std::string(operation) + ": CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter.").c_str(),
            HttpErrorNotSpecified, 0);
}

// Runs a call into the 8-bit layer; what it throws leaves as a wide exception.
template <class Body>
auto PassAsW(Body&& body) -> decltype(body())
{
    try {
        return FilterW(body);
    } catch (const httpclientexceptionA& e) {
        RethrowAsW(e);
    }
}

}  // namespace Tesmo
