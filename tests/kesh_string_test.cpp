#include "kesh/string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using kesh::String;

namespace {

std::vector<unsigned char> bytesOf(const String& s)
{
    return std::vector<unsigned char>(s.c_str(), s.c_str() + s.length());
}

std::vector<unsigned> unitsOf(const String& s)
{
    std::vector<unsigned> units;
    boost::shared_array<wchar_t> wide = s.toWide();
    for (const wchar_t* p = wide.get(); *p; ++p) units.push_back(static_cast<unsigned short>(*p));
    return units;
}

String fromBytes(std::initializer_list<unsigned char> bytes)
{
    std::string raw(bytes.begin(), bytes.end());
    return String(raw.c_str());
}

std::vector<std::string> piecesOf(const kesh::StringArray& a)
{
    std::vector<std::string> out;
    for (unsigned i = 0; i < a.size(); ++i) out.push_back(a.at(i).c_str());
    return out;
}

}  // namespace

TEST(StringTest, EmptyValuesAreEmptyButNeverNull)
{
    const String values[] = {String(), String(""), String("abc", 0), String(static_cast<const char*>(nullptr)),
                             String(static_cast<const wchar_t*>(nullptr)), String(L"")};
    for (const String& s : values) {
        EXPECT_TRUE(s.isEmpty());
        EXPECT_EQ(0u, s.length());
        ASSERT_NE(nullptr, s.c_str());
        EXPECT_STREQ("", s.c_str());
        EXPECT_EQ(0, s.toWide()[0]);
    }
    EXPECT_STREQ("ab", String("abc", 2).c_str());
    EXPECT_STREQ("abc", String("abc", 100).c_str());
}

TEST(StringTest, Utf16ToUtf8EncodesEachUnitByItself)
{
    struct Case {
        std::wstring units;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {L"\x0041\x00E9\x4E2D", {0x41, 0xC3, 0xA9, 0xE4, 0xB8, 0xAD}},
        {L"\xD83D\xDE00", {0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}},  // surrogates are not paired
        {L"\xDC00", {0xED, 0xB0, 0x80}},                          // a lone surrogate
        {L"\x07FF\x0800\xFFFF", {0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF}},
        {L"\x007F\x0080", {0x7F, 0xC2, 0x80}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.bytes, bytesOf(String(c.units.c_str())));

    EXPECT_STREQ("ab", String(L"abcd", 2).c_str());
    boost::shared_array<wchar_t> array(new wchar_t[4]{L'x', L'y', 0, L'z'});
    EXPECT_STREQ("xy", String(array, 4).c_str());
}

TEST(StringTest, Utf8ToUtf16FollowsTheLeadBytes)
{
    struct Case {
        String text;
        std::vector<unsigned> units;
    } cases[] = {
        {fromBytes({0x41, 0xC3, 0xA9, 0xE4, 0xB8, 0xAD}), {0x41, 0xE9, 0x4E2D}},
        {fromBytes({0xF0, 0x9F, 0x98, 0x80}), {0xFFFF}},
        {fromBytes({0x41, 0x80, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47}), {0x41, 0xFFFF, 0x47}},
        {fromBytes({0x80}), {}},
        {fromBytes({0x41, 0xC3}), {0x41}},              // two-byte lead cut off by the end
        {fromBytes({0xC3}), {}},
        {fromBytes({0xE4, 0xB8}), {}},                  // three-byte lead cut off (short text)
        {fromBytes({0x41, 0xE4, 0xB8}), {0x41}},
        {fromBytes({0xE4}), {}},
        {fromBytes({0xF8, 1, 2, 3, 4}), {0xFFFF}},
        {fromBytes({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}), {0xD83D, 0xDE00}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.units, unitsOf(c.text));
}

TEST(StringTest, ChineseTextRoundTrips)
{
    const wchar_t* text = L"\x8BF7\x8F93\x5165\x4E00\x4E2A\x6574\x6570\x3002 Norpa\x7F16\x8F91\x5668";
    String utf8(text);
    EXPECT_EQ(std::wstring(text), std::wstring(utf8.toWide().get()));
}

TEST(StringTest, CopiesShareUntilOneChanges)
{
    String a("abc");
    String b(a);
    EXPECT_EQ(a.c_str(), b.c_str());
    b.append('x');
    EXPECT_STREQ("abc", a.c_str());
    EXPECT_STREQ("abcx", b.c_str());

    String c = a;
    c.toLower();  // already lower case, but c shared: a keeps its buffer
    EXPECT_STREQ("abc", a.c_str());

    String d = a;
    d.getBuffer(10)[0] = 'Z';
    EXPECT_STREQ("abc", a.c_str());
    EXPECT_STREQ("Zbc", d.c_str());

    String e = a;
    e.trim().append("  ");
    e.trimRight();
    EXPECT_STREQ("abc", a.c_str());
}

TEST(StringTest, SoleHolderChangesInPlaceAndMaySpliceItself)
{
    String a("abc");
    a.getBuffer(100);
    const char* before = a.c_str();
    a.append("d");
    EXPECT_EQ(before, a.c_str());  // room was already there, so realloc keeps the block

    String s("hello");
    s.append(s.c_str());
    EXPECT_STREQ("hellohello", s.c_str());
    s.splice(s.c_str() + 5, 0, 2);
    EXPECT_STREQ("hellollohello", s.c_str());

    String empty;
    empty.append("x");
    EXPECT_STREQ("x", empty.c_str());
    empty.append('\0');
    EXPECT_STREQ("x", empty.c_str());
}

TEST(StringTest, NumbersToText)
{
    EXPECT_STREQ("-2147483648", String(static_cast<int>(0x80000000u), 10).c_str());
    EXPECT_STREQ("2147483647", String(2147483647, 10).c_str());
    EXPECT_STREQ("FF", String(255u, 16).c_str());
    EXPECT_STREQ("11111111111111111111111111111111", String(4294967295u, 2).c_str());
    EXPECT_STREQ("-Z", String(-35, 36).c_str());
    for (unsigned base = 2; base <= 36; ++base) {
        EXPECT_STREQ("0", String(0, base).c_str());
        EXPECT_STREQ("0", String(0u, base).c_str());
    }
}

namespace {
// Overwrites the stack below the caller's frame.
__attribute__((noinline)) unsigned clobberStack()
{
    volatile char scratch[512];
    for (unsigned i = 0; i < sizeof scratch; ++i)
        scratch[i] = 'x';
    return scratch[17];
}
}  // namespace

TEST(StringTest, NumberTextsOwnTheirBytes)
{
    const String small(20u, 10);
    const String negative(-4711, 10);
    clobberStack();
    EXPECT_STREQ("20", small.c_str());
    EXPECT_STREQ("-4711", negative.c_str());
}

TEST(StringTest, TextToNumbers)
{
    struct Case {
        const char* text;
        unsigned base;
        long asLong;
        unsigned long asULong;
    } cases[] = {
        {" 42abc", 10, 42, 42},
        {"abc", 10, 0, 0},
        {"", 10, 0, 0},
        {"99999999999", 10, 2147483647, 4294967295UL},
        {"-99999999999", 10, -2147483647L - 1, 4294967295UL},
        {"2147483648", 10, 2147483647, 2147483648UL},
        {"-2147483648", 10, -2147483647L - 1, 2147483648UL},
        {"-2147483649", 10, -2147483647L - 1, 2147483647UL},
        {"4294967295", 10, 2147483647, 4294967295UL},
        {"4294967296", 10, 2147483647, 4294967295UL},
        {"0xff", 16, 255, 255},
        {"0XfF", 16, 255, 255},
        {"ff", 16, 255, 255},
        {"-1", 10, -1, 4294967295UL},
        {"+7", 10, 7, 7},
        {"\t\n 101", 2, 5, 5},
        {"z", 36, 35, 35},
        {"0x10", 10, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.asLong, String(c.text).toLong(c.base));
        EXPECT_EQ(c.asULong, String(c.text).toULong(c.base));
    }
}

TEST(StringTest, Compare)
{
    EXPECT_EQ(1, String("a").compare("B"));
    EXPECT_EQ(0, String("a").compare("A", true));
    EXPECT_EQ(-1, String("ab").compare("abc"));
    EXPECT_EQ(1, String("abc").compare("ab"));
    EXPECT_EQ(0, String().compare(""));
    EXPECT_EQ(-1, String().compare("a"));
    EXPECT_EQ(1, fromBytes({0xE4}).compare("a"));  // bytes compare unsigned
    EXPECT_LT(String("a").compare("B", true), 0);
    EXPECT_GT(String("Hello2").compare("hello1", true), 0);
}

TEST(StringTest, StartsWith)
{
    EXPECT_TRUE(String("abc").startsWith(""));
    EXPECT_TRUE(String().startsWith(""));
    EXPECT_TRUE(String("abc").startsWith("ab"));
    EXPECT_FALSE(String("abc").startsWith("abcd"));
    EXPECT_FALSE(String("abc").startsWith("AB"));
    EXPECT_TRUE(String("abc").startsWith(String("AB"), true));
}

TEST(StringTest, FindAndRfind)
{
    const unsigned npos = String::npos;
    EXPECT_EQ(0u, String("abc").find("", 7));
    EXPECT_EQ(0u, String().find("", 7));
    EXPECT_EQ(npos, String("abc").find("b", 5));
    EXPECT_EQ(1u, String("abc").find("B", 0, true));
    EXPECT_EQ(npos, String("abc").find("B", 0, false));
    EXPECT_EQ(3u, String("abcabc").find("abc", 1));
    EXPECT_EQ(npos, String("abcabc").find("abc", 4));
    EXPECT_EQ(npos, String("abc").find("abcd"));
    EXPECT_EQ(npos, String("abc").find("c", 0xFFFFFFFEu));  // no wrap-around of from + n
    EXPECT_EQ(npos, String("abc").find("c", npos));
    EXPECT_EQ(2u, String("abc").find("c", 2));
    // Windows with equal byte sums but different bytes are not matches.
    EXPECT_EQ(2u, String("adbc").find("bc"));  // "ad" has the same byte sum as "bc"
    EXPECT_EQ(2u, String("xxad").find("ad"));
    EXPECT_EQ(npos, String("bc").find("ad"));

    EXPECT_EQ(1u, String("abc").find('b'));
    EXPECT_EQ(1u, String("aBc").find('b', 0, true));
    EXPECT_EQ(npos, String("aBc").find('b'));
    EXPECT_EQ(npos, String("abc").find('a', 3));
    EXPECT_EQ(npos, String().find('a'));

    EXPECT_EQ(2u, String("aXa").rfind("a", 100));
    EXPECT_EQ(0u, String("aXa").rfind("a", 1));
    EXPECT_EQ(3u, String("abc").rfind("", 100));
    EXPECT_EQ(1u, String("abc").rfind("", 1));
    EXPECT_EQ(npos, String("ab").rfind("abc"));
    EXPECT_EQ(3u, String("abcABC").rfind("abc", npos, true));
    EXPECT_EQ(0u, String("abcABC").rfind("abc", npos, false));
    EXPECT_EQ(npos, String("abcABC").rfind("x"));
}

TEST(StringTest, FindAnyOf)
{
    const unsigned npos = String::npos;
    EXPECT_EQ(1u, String("a,b;c").findAnyOf(";,"));
    EXPECT_EQ(3u, String("a,b;c").findAnyOf(";", 2));
    EXPECT_EQ(npos, String("abc").findAnyOf(""));
    EXPECT_EQ(npos, String().findAnyOf("a"));
    EXPECT_EQ(npos, String("abc").findAnyOf("a", 3));
    EXPECT_EQ(2u, String("abC").findAnyOf("c", 0, true));
    EXPECT_EQ(npos, String("abC").findAnyOf("c"));
}

TEST(StringTest, SubstrAndLeft)
{
    EXPECT_STREQ("", String("abc").substr(3).c_str());
    EXPECT_STREQ("bc", String("abc").substr(1, 100).c_str());
    EXPECT_STREQ("b", String("abc").substr(1, 1).c_str());
    EXPECT_STREQ("", String("abc").substr(1, 0).c_str());
    EXPECT_STREQ("", String().substr(0).c_str());
    EXPECT_STREQ("bc", String("abc").substr(1, 0xFFFFFFFEu).c_str());  // no wrap-around of pos + count
    EXPECT_STREQ("ab", String("abc").left(2).c_str());
    EXPECT_STREQ("abc", String("abc").left(9).c_str());
}

TEST(StringTest, Split)
{
    typedef std::vector<std::string> Pieces;
    struct Case {
        const char* text;
        const char* separators;
        bool keepEmpty;
        Pieces pieces;
    } cases[] = {
        {"a,,b", ",", false, {"a", "b"}},
        {"a,,b", ",", true, {"a", "", "b"}},
        {"a,", ",", false, {"a"}},
        {"a,", ",", true, {"a", ""}},
        {",a", ",", false, {"a"}},
        {",a", ",", true, {"", "a"}},
        {",,,a,,", ",", false, {"a"}},
        {",,a", ",", true, {"", "", "a"}},
        {",", ",", true, {"", ""}},
        {",", ",", false, {}},
        {"abc", ",", false, {"abc"}},
        {"a b\tc", " \t", false, {"a", "b", "c"}},
        {"a", "", false, {}},
        {"", ",", true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + (c.keepEmpty ? " keep" : ""));
        EXPECT_EQ(c.pieces, piecesOf(String(c.text).split(c.separators, c.keepEmpty)));
    }
    EXPECT_EQ(Pieces({"a", "b"}), piecesOf(String("aXbx").split('x', false, true)));
    EXPECT_EQ(Pieces({"aXb"}), piecesOf(String("aXbx").split('x')));
}

TEST(StringTest, AppendSpliceAndOperators)
{
    String s("abc");
    s.splice("XY", 1, 1);
    EXPECT_STREQ("aXYc", s.c_str());
    s.splice("", 0, 2);
    EXPECT_STREQ("Yc", s.c_str());
    s.splice("!", 100, 5);
    EXPECT_STREQ("Yc!", s.c_str());
    s.splice("", 1, 100);
    EXPECT_STREQ("Y", s.c_str());
    s.splice("", 0, 0);
    EXPECT_STREQ("Y", s.c_str());
    String e;
    e.splice("new", 5, 5);
    EXPECT_STREQ("new", e.c_str());
    e.append(static_cast<const char*>(nullptr));
    EXPECT_STREQ("new", e.c_str());

    String a("ab");
    EXPECT_STREQ("xab", ("x" + a).c_str());
    EXPECT_STREQ("abx", (a + "x").c_str());
    EXPECT_STREQ("abab", (a + a).c_str());
    EXPECT_STREQ("ab", a.c_str());
}

TEST(StringTest, Replace)
{
    String s("a/b/c");
    EXPECT_TRUE(s.replace("/", "\\"));
    EXPECT_STREQ("a\\b\\c", s.c_str());

    String t("abc");
    EXPECT_FALSE(t.replace("x", "y"));
    EXPECT_STREQ("abc", t.c_str());

    String u("aa");
    EXPECT_TRUE(u.replace("a", "aa"));
    EXPECT_STREQ("aaaa", u.c_str());

    String v("a-a-a");
    EXPECT_TRUE(v.replace("a", "b", false));
    EXPECT_STREQ("b-a-a", v.c_str());
    EXPECT_TRUE(v.replace("A", "c", true, 1, true));
    EXPECT_STREQ("b-c-c", v.c_str());

    String w("abc");
    EXPECT_FALSE(w.replace("", "x"));  // ends, changes nothing
    EXPECT_STREQ("abc", w.c_str());

    String shared("x.x");
    String copy(shared);
    copy.replace(".", "..");
    EXPECT_STREQ("x.x", shared.c_str());
    EXPECT_STREQ("x..x", copy.c_str());
}

TEST(StringTest, ReplaceWithTextsFromTheStringItself)
{
    // Target or substitute point into the very buffer the splices change.
    struct Case {
        const char* name;
        const char* text;
        unsigned targetAt;  // npos: the literal target "a"
        unsigned subsAt;    // npos: the literal substitute "bb"
        const char* expected;
    };
    const unsigned none = String::npos;
    const Case cases[] = {
        {"target inside", "aa", 1, none, "bbbb"},
        {"substitute inside", "aXa", none, 0, "aXaXaXa"},
        {"both inside", "a-a", 2, 0, "a-a-a-a"},
    };
    for (const Case& c : cases) {
        String s(c.text);
        const char* target = c.targetAt == none ? "a" : s.c_str() + c.targetAt;
        const char* subs = c.subsAt == none ? "bb" : s.c_str() + c.subsAt;
        EXPECT_TRUE(s.replace(target, subs)) << c.name;
        EXPECT_STREQ(c.expected, s.c_str()) << c.name;
    }
}

TEST(StringTest, TrimAndCase)
{
    EXPECT_STREQ("a b", String(" \t a b \r\n").trim().c_str());
    EXPECT_STREQ("", String("   ").trim().c_str());
    EXPECT_STREQ("a \v", String("\f a \v").trimLeft().c_str());
    EXPECT_STREQ("\f a", String("\f a \v").trimRight().c_str());
    EXPECT_STREQ("", String().trim().c_str());
    EXPECT_STREQ("abc-\xC3\x89", String("AbC-\xC3\x89").toLower().c_str());
    String upper("ABC");
    EXPECT_STREQ("abc", upper.toLowerCopy().c_str());
    EXPECT_STREQ("ABC", upper.c_str());
}

TEST(StringTest, GetBuffer)
{
    String s;
    char* p = s.getBuffer(4);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(0, std::memcmp(p, "\0\0\0\0", 5));
    std::strcpy(p, "abcd");
    EXPECT_STREQ("abcd", s.c_str());

    String t("abcdef");
    EXPECT_EQ(t.c_str(), t.getBuffer(3));  // sole holder, long enough: unchanged
    char* q = t.getBuffer(10);
    EXPECT_STREQ("abcdef", q);
    EXPECT_EQ(0, q[10]);
    q[2] = 0;
    EXPECT_EQ(2u, t.length());
    t.append("z");  // the text written through the buffer is what is kept
    EXPECT_STREQ("abz", t.c_str());
    EXPECT_EQ(3u, t.length());
}

TEST(StringTest, ChangesAfterGetBufferKeepTheWrittenText)
{
    // Each change runs on a sole holder whose text was shortened through
    // getBuffer: the text written there is what the change starts from.
    struct Case {
        const char* name;
        void (*change)(String&);
        const char* expected;
    };
    const Case cases[] = {
        {"toLower then append", [](String& s) { s.toLower().append("x"); }, "hix"},
        {"toLower", [](String& s) { s.toLower(); }, "hi"},
        {"append", [](String& s) { s.append("x"); }, "HIx"},
        {"trimRight", [](String& s) { s.trimRight(); }, "HI"},
    };
    for (const Case& c : cases) {
        String s("HELLO WORLD");
        std::strcpy(s.getBuffer(20), "HI");
        c.change(s);
        EXPECT_STREQ(c.expected, s.c_str()) << c.name;
        EXPECT_EQ(std::strlen(c.expected), s.length()) << c.name;
    }
}

TEST(StringTest, ShortTextsInTheStubsBlockChangeAsLongOnesInTheirOwnBuffer)
{
    // A text up to 1024 bytes made at once shares its stub's heap block and
    // moves to a buffer of its own when it grows; longer ones have one from
    // the start. Each change runs on a sole holder (in place) and on a
    // shared one (a copy first), beside the same change to a std::string.
    struct Change {
        const char* name;
        void (*apply)(String&, std::string&);
    };
    const Change changes[] = {
        {"append", [](String& s, std::string& m) { s.append("xyz"), m += "xyz"; }},
        {"cut the front", [](String& s, std::string& m) { s.splice("", 0, 3), m.erase(0, 3); }},
        {"grow past the cut", [](String& s, std::string& m) { s.append("0123456"), m += "0123456"; }},
        {"write behind the end", [](String& s, std::string& m) {
             const unsigned length = s.length();
             std::memcpy(s.getBuffer(length + 4) + length, "wxyz", 4);
             m += "wxyz";
         }},
        {"lower", [](String& s, std::string& m) {
             s.toLower();
             for (char& c : m) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
         }},
        {"replace to longer", [](String& s, std::string& m) {
             s.replace("a", "AB");
             for (size_t at = 0; (at = m.find('a', at)) != std::string::npos; at += 2) m.replace(at, 1, "AB");
         }},
    };
    for (const unsigned length : {1u, 40u, 1024u, 1025u}) {
        for (const bool shared : {false, true}) {
            std::string model;
            for (unsigned i = 0; i < length; ++i) model += static_cast<char>((i % 7 ? 'a' : 'A') + i % 26);
            String text(model.c_str());
            for (const Change& change : changes) {
                const std::string old = model;
                const String copy = shared ? text : String();
                change.apply(text, model);
                EXPECT_EQ(model, text.c_str()) << length << (shared ? " shared, " : " sole, ") << change.name;
                EXPECT_EQ(model.size(), text.length()) << length << " " << change.name;
                if (shared) {
                    EXPECT_EQ(old, copy.c_str()) << length << " the copy after " << change.name;
                }
            }
        }
    }
}

TEST(StringTest, GetBufferRefusesACountNoLengthCanHold)
{
    String s("abc");
    EXPECT_EQ(nullptr, s.getBuffer(String::npos));
    EXPECT_STREQ("abc", s.c_str());
    EXPECT_EQ(3u, s.length());
}

TEST(StringTest, Format)
{
    EXPECT_STREQ("7-abc", String::format("%d-%s", 7, "abc").c_str());
    std::string longText(5000, 'q');
    EXPECT_EQ(longText + "!", String::format("%s!", longText.c_str()).c_str());
    EXPECT_STREQ("", String::format("%s", "").c_str());
    EXPECT_STREQ("0x0000002a", String::format("0x%08x", 42u).c_str());
    // A wide argument that cannot be converted is an encoding error: the
    // result is empty, and the call ends.
    EXPECT_STREQ("", String::format("%ls", L"\xD800").c_str());
}

TEST(StringTest, IndexOf)
{
    kesh::StringArray names;
    EXPECT_EQ(String::npos, kesh::indexOf(names, "x"));
    names.append("name").append("Name");
    EXPECT_EQ(1u, kesh::indexOf(names, "Name"));
    EXPECT_EQ(0u, kesh::indexOf(names, "name"));
    EXPECT_EQ(String::npos, kesh::indexOf(names, "x"));
}

TEST(StringDeathTest, NullTextsAndBadBasesEndTheProcess)
{
    const char* none = nullptr;
    EXPECT_DEATH(String("a").compare(none), "Assertion failed: other");
    EXPECT_DEATH(String("a").find(none), "Assertion failed: cstr");
    EXPECT_DEATH(String("a").rfind(none), "Assertion failed: cstr");
    EXPECT_DEATH(String("a").startsWith(none), "Assertion failed: cstr");
    EXPECT_DEATH(String("a").splice(none, 0, 0), "Assertion failed: cstr");
    EXPECT_DEATH(String("a").findAnyOf(none), "Assertion failed: chars");
    EXPECT_DEATH(String("a").replace(none, "b"), "Assertion failed: target");
    EXPECT_DEATH(String("a").replace("a", none), "Assertion failed: subs");
    EXPECT_DEATH(String("a").split(none), "Assertion failed: separators");
    EXPECT_DEATH(String("1").toLong(1), "base >= 2 && base <= 36");
    EXPECT_DEATH(String(1u, 37), "base >= 2 && base <= 36");
    EXPECT_DEATH(String::format(none), "Assertion failed: fmt, file \\.\\\\impl\\\\string, line \\d+");
}
