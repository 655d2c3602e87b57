#pragma once

// Splits a URL into scheme, host, port, path, query and fragment in one walk,
// as offsets and lengths in characters into the URL itself (nothing is
// copied). The scheme always starts at 0; the path keeps its leading "/", the
// query its "?" and the fragment its "#". Lenient on purpose: it never
// fails on a URL, it only finds fewer parts ("host/path" has no scheme).

#include "httpclient/exceptions.h"

#include <cstdint>

namespace Tesmo {

struct UrlPart {
    uint32_t offset = 0;
    uint32_t length = 0;
};

template <class Ch>
class CHttpUrlAnalyzerT {
public:
    // All parts empty at 0 for a null or empty URL.
    void Analyze(const Ch* url, UINT codePage)
    {
        if (codePage == CP_UTF8 || codePage == CP_UTF7)
            ThrowMessageW(L"CHttpUrlAnalyzerT::Analyze: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter.");
        *this = CHttpUrlAnalyzerT();
        if (!url || !*url)
            return;

        uint32_t hostStart = 0;
        for (uint32_t i = 0; url[i]; ++i) {
            if (url[i] == ':' && url[i + 1] == '/' && url[i + 2] == '/') {
                scheme.length = i;
                hostStart = i + 3;
                break;
            }
        }

        uint32_t at = hostStart;
        host.offset = hostStart;
        port.offset = hostStart;
        if (url[at] != '/') {
            bool inPort = false;
            for (; url[at] && url[at] != '/' && url[at] != '?' && url[at] != '#'; ++at) {
                if (inPort) {
                    ++port.length;
                } else if (url[at] == ':') {
                    inPort = true;
                    port.offset = at + 1;
                } else {
                    ++host.length;
                }
            }
            if (!inPort)
                port.offset = at;
        }

        path.offset = at;
        if (url[at] != '#') {
            for (; url[at] && url[at] != '?' && url[at] != '#'; ++at)
                ++path.length;
        }
        query.offset = at;
        if (url[at] == '?') {
            for (; url[at] && url[at] != '#'; ++at)
                ++query.length;
        }
        fragment.offset = at;
        for (; url[at]; ++at)
            ++fragment.length;
    }

    UrlPart scheme, host, port, path, query, fragment;
};

}  // namespace Tesmo
