// XML parsing figures: kesh::xml::parse against expat alone with handlers
// that do nothing, on the same texts. Goals: a document of many small
// elements with attributes within 4x of expat alone, one large text node
// within 2x. Every String and every list costs two heap allocations, which
// is what the tree of many small elements pays for.
#include "bench/bench_report.h"
#include "bench/bench_timer.h"
#include "kesh/xml.h"

#include <windows.h>

#include <expat.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

using bench::bestOf;
using bench::nowMs;
using bench::timed;


volatile size_t sink;

void XMLCALL noStart(void*, const XML_Char*, const XML_Char**) {}
void XMLCALL noEnd(void*, const XML_Char*) {}
void XMLCALL noText(void*, const XML_Char*, int) {}

bool rawExpat(const kesh::String& text)
{
    XML_Parser p = XML_ParserCreate(nullptr);
    XML_SetElementHandler(p, noStart, noEnd);
    XML_SetCharacterDataHandler(p, noText);
    const bool ok = XML_Parse(p, text.c_str(), static_cast<int>(text.length()), 1) != XML_STATUS_ERROR;
    XML_ParserFree(p);
    return ok;
}

// 100k records as a server might list them: empty elements whose data is
// all in attributes, or (withText) elements that hold a text as well.
kesh::String manyElements(unsigned count, bool withText)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<files>\n";
    char line[160];
    for (unsigned i = 0; i < count; ++i) {
        const unsigned size = (i * 7919u) % 1000000u;
        if (withText)
            std::snprintf(line, sizeof line, "  <file id=\"%06u\" kind=\"png\" size=\"%u\">file %06u</file>\n", i,
                          size, i);
        else
            std::snprintf(line, sizeof line, "  <file id=\"%06u\" name=\"screenshot-%06u.png\" size=\"%u\"/>\n", i, i,
                          size);
        text += line;
    }
    text += "</files>\n";
    return kesh::String(text.c_str());
}

kesh::String oneLargeText(size_t bytes)
{
    std::string text = "<doc>";
    const std::string sentence = "The quick brown fox jumps over the lazy dog &amp; keeps running. ";
    while (text.size() < bytes) {
        text += sentence;
        if (text.size() % 1024 < sentence.size()) text += '\n';
    }
    text += "</doc>";
    return kesh::String(text.c_str());
}

// The three measurements take turns, so a busy machine slows them alike;
// the best of each is kept.
void compare(const char* name, const char* figure, const kesh::String& text, double goal)
{
    const int runs = 11;
    double raw = 1e300, parse = 1e300, parseAndFree = 1e300;
    bool ok = true;
    for (int i = 0; i < runs; ++i) {
        raw = std::min(raw, timed([&] { sink = rawExpat(text); }));
        kesh::xml::DocumentPtr kept;
        parse = std::min(parse, timed([&] { kept = kesh::xml::parse(text); }));
        ok = ok && kept;
        kept.reset();
        parseAndFree = std::min(parseAndFree, timed([&] {
                                    kesh::xml::DocumentPtr d = kesh::xml::parse(text);
                                    sink = d ? 1 : 0;
                                }));
    }
    std::printf("  %-26s %5.2f MB  expat %7.2f  kesh parse %7.2f  ratio %.2f (goal %.0fx)"
                "  parse and free %7.2f  ratio %.2f  %s\n",
                name, text.length() / 1048576.0, raw, parse, parse / raw, goal, parseAndFree, parseAndFree / raw,
                ok ? "ok" : "FAILED");
    bench::figure(std::string("XML: ") + figure + ", parse against expat", ok ? parse / raw : bench::kNotMeasured,
                  "x", goal, bench::Better::Lower);
}

}  // namespace

int main()
{
    const kesh::String elements = manyElements(100000, false);
    const kesh::String elementsWithText = manyElements(100000, true);
    const kesh::String large = oneLargeText(4500000);
    std::printf("kesh::xml::parse against expat with empty handlers (best of 11, milliseconds)\n");
    compare("100k elements, attributes", "100k elements with attributes", elements, 4);
    compare("  the same, with a text each", "100k elements with a text each", elementsWithText, 4);
    compare("one large text node", "one large text node", large, 2);
    return 0;
}
