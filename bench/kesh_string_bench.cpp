// String figures against plain Win32 loops. Goals: append and find stay
// linear; the UTF-8/UTF-16 round trip stays within a small factor of
// MultiByteToWideChar/WideCharToMultiByte.
#include "bench/bench_timer.h"
#include "kesh/string.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using bench::bestOf;
using bench::nowMs;
using bench::timed;


volatile size_t sink;

}  // namespace

int main()
{
    const int pieces = 100000;
    const std::string hundred(100, 'x');

    const double append1 = bestOf(5, [&] {
        kesh::String s;
        for (int i = 0; i < pieces; ++i) s.append('a');
        sink = s.length();
    });
    const double append1Std = bestOf(5, [&] {
        std::string s;
        for (int i = 0; i < pieces; ++i) s.push_back('a');
        sink = s.size();
    });
    const double append100 = bestOf(3, [&] {
        kesh::String s;
        for (int i = 0; i < pieces; ++i) s.append(hundred.c_str());
        sink = s.length();
    });
    const double append100Std = bestOf(3, [&] {
        std::string s;
        for (int i = 0; i < pieces; ++i) s.append(hundred);
        sink = s.size();
    });

    // 1 MB of mixed ASCII and CJK text.
    std::wstring wide;
    while (wide.size() * 2 < (1u << 20)) wide += L"Norpa \x622A\x56FE\x7F16\x8F91\x5668 capture ";
    kesh::String utf8(wide.c_str());
    const double roundTrip = bestOf(5, [&] {
        kesh::String back(utf8.toWide().get());
        sink = back.length();
    });
    const double roundTripWin32 = bestOf(5, [&] {
        const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
        std::vector<wchar_t> w(units);
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, w.data(), units);
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, w.data(), -1, nullptr, 0, nullptr, nullptr);
        std::vector<char> b(bytes);
        WideCharToMultiByte(CP_UTF8, 0, w.data(), -1, b.data(), bytes, nullptr, nullptr);
        sink = b.size();
    });

    // Case-insensitive find of a pattern at the very end of 1 MB.
    kesh::String haystack;
    {
        std::string h;
        while (h.size() < (1u << 20)) h += "the quick brown fox jumps over the lazy dog ";
        h += "NEEDLE in the Haystack";
        haystack = h.c_str();
    }
    const double findI = bestOf(5, [&] { sink = haystack.find("needle IN the haystack", 0, true); });
    const double findPlain = bestOf(5, [&] { sink = StrStrIA(haystack.c_str(), "needle IN the haystack") != nullptr; });

    std::printf("kesh::String benchmark (best of runs, milliseconds)\n");
    std::printf("  append 100k x 1 byte     %8.2f   std::string %8.2f   ratio %.1f\n", append1, append1Std,
                append1 / append1Std);
    std::printf("  append 100k x 100 bytes  %8.2f   std::string %8.2f   ratio %.1f\n", append100, append100Std,
                append100 / append100Std);
    std::printf("  UTF-8/16 round trip 1 MB %8.2f   Win32 loop  %8.2f   ratio %.2f\n", roundTrip, roundTripWin32,
                roundTrip / roundTripWin32);
    std::printf("  find ignoring case 1 MB  %8.2f   StrStrIA    %8.2f   ratio %.2f\n", findI, findPlain,
                findI / findPlain);
    return 0;
}
