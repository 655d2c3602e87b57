// String figures against std::string and plain Win32 loops. Goals: append
// and find stay linear: ten times the input costs under twice as much per
// byte (a quadratic one costs ten times as much). For append that growth is
// taken against std::string's on the same heap, since the heap's large
// blocks cost every byte more whatever the algorithm. The UTF-8/UTF-16
// round trip stays within a small factor (2) of
// MultiByteToWideChar/WideCharToMultiByte.
#include "bench/bench_report.h"
#include "bench/bench_timer.h"
#include "kesh/string.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using bench::bestOf;

volatile size_t sink;

const double kLinearGoal = 2;
const double kRoundTripGoal = 2;

void appendTo(kesh::String& s, char c) { s.append(c); }
void appendTo(kesh::String& s, const std::string& piece) { s.append(piece.c_str()); }
void appendTo(std::string& s, char c) { s.push_back(c); }
void appendTo(std::string& s, const std::string& piece) { s.append(piece); }
size_t lengthOf(const kesh::String& s) { return s.length(); }
size_t lengthOf(const std::string& s) { return s.size(); }

// Milliseconds to build a text of count pieces. The smaller texts take a
// millisecond or two, where one disturbance of a busy machine shows: the
// growth figures divide by them, so they get more tries.
template <class Text, class Piece>
double appendTime(int count, const Piece& piece)
{
    return bestOf(11, [&] {
        Text s;
        for (int i = 0; i < count; ++i) appendTo(s, piece);
        sink = lengthOf(s);
    });
}

// Appending count pieces and ten times as many, to kesh::String and to
// std::string: the times, and how much more each byte costs at ten times
// the size.
struct AppendFigures {
    double kesh, keshLarge, std, stdLarge;
    double keshGrowth() const { return keshLarge / kesh / 10; }
    double stdGrowth() const { return stdLarge / std / 10; }
};

template <class Piece>
AppendFigures appendFigures(int count, const Piece& piece)
{
    return AppendFigures{appendTime<kesh::String>(count, piece), appendTime<kesh::String>(10 * count, piece),
                         appendTime<std::string>(count, piece), appendTime<std::string>(10 * count, piece)};
}

// A text of about the given size with the needle at its very end.
kesh::String haystackOf(size_t bytes)
{
    std::string h;
    while (h.size() < bytes) h += "the quick brown fox jumps over the lazy dog ";
    h += "NEEDLE in the Haystack";
    return kesh::String(h.c_str());
}

double findIgnoringCase(const kesh::String& haystack)
{
    return bestOf(5, [&] { sink = haystack.find("needle IN the haystack", 0, true); });
}

}  // namespace

int main()
{
    // 100 KB and 1 MB of single bytes; 1 MB and 10 MB of 100-byte pieces.
    const AppendFigures bytes = appendFigures(100000, 'a');
    const AppendFigures hundreds = appendFigures(10000, std::string(100, 'x'));

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

    // Case-insensitive find of a pattern at the very end of 1 MB and 10 MB.
    const kesh::String haystack = haystackOf(1u << 20);
    const double findI = findIgnoringCase(haystack);
    const double findILarge = findIgnoringCase(haystackOf(10u << 20));
    const double findPlain = bestOf(5, [&] { sink = StrStrIA(haystack.c_str(), "needle IN the haystack") != nullptr; });
    const double findGrowth = findILarge / findI / 10;

    std::printf("kesh::String benchmark (best of runs, milliseconds)\n");
    std::printf("  append 100k x 1 byte     %8.2f   std::string %8.2f   ratio %.1f\n", bytes.kesh, bytes.std,
                bytes.kesh / bytes.std);
    std::printf("  append 100k x 100 bytes  %8.2f   std::string %8.2f   ratio %.1f\n", hundreds.keshLarge,
                hundreds.stdLarge, hundreds.keshLarge / hundreds.stdLarge);
    std::printf("  UTF-8/16 round trip 1 MB %8.2f   Win32 loop  %8.2f   ratio %.2f (goal under %.0f)\n", roundTrip,
                roundTripWin32, roundTrip / roundTripWin32, kRoundTripGoal);
    std::printf("  find ignoring case 1 MB  %8.2f   StrStrIA    %8.2f   ratio %.2f\n", findI, findPlain,
                findI / findPlain);
    std::printf("Ten times the input: cost per byte against the smaller input's (goal: under %.0f,\n"
                "for append against std::string's)\n",
                kLinearGoal);
    std::printf("  append 1 byte, 1M pieces   %8.2f (100k %6.2f)  growth %.2f   std::string %.2f\n", bytes.keshLarge,
                bytes.kesh, bytes.keshGrowth(), bytes.stdGrowth());
    std::printf("  append 100 bytes, 100k     %8.2f (10k  %6.2f)  growth %.2f   std::string %.2f\n",
                hundreds.keshLarge, hundreds.kesh, hundreds.keshGrowth(), hundreds.stdGrowth());
    std::printf("  find ignoring case, 10 MB  %8.2f (1 MB %6.2f)  growth %.2f\n", findILarge, findI, findGrowth);

    using bench::Better;
    bench::figure("strings: append 1 byte, growth at 10x over std::string's", bytes.keshGrowth() / bytes.stdGrowth(),
                  "x", kLinearGoal, Better::Lower);
    bench::figure("strings: append 100 bytes, growth at 10x over std::string's",
                  hundreds.keshGrowth() / hundreds.stdGrowth(), "x", kLinearGoal, Better::Lower);
    bench::figure("strings: find ignoring case, growth per byte at 10x", findGrowth, "x", kLinearGoal, Better::Lower);
    bench::figure("strings: UTF-8/16 round trip against Win32", roundTrip / roundTripWin32, "x", kRoundTripGoal,
                  Better::Lower);
    bench::reference("strings: append 1 byte against std::string", bytes.kesh / bytes.std, "x");
    return 0;
}
