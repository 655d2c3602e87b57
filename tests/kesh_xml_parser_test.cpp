#include "kesh/error.h"
#include "kesh/xml.h"

#include <gtest/gtest.h>

#include <expat.h>

#include <algorithm>
#include <string>
#include <vector>

using kesh::ErrorCatcher;
using kesh::String;
using kesh::xml::DocumentPtr;
using kesh::xml::ElementPtr;
using kesh::xml::NodeArray;
using kesh::xml::ParserPtr;
using kesh::xml::createParser;

namespace {

// Children as "text:..." or "element:name".
std::vector<std::string> shape(const ElementPtr& e)
{
    std::vector<std::string> out;
    NodeArray children = e->getChildren();
    for (unsigned i = 0; i < children.size(); ++i) {
        ElementPtr element = boost::dynamic_pointer_cast<kesh::xml::IElement>(children.at(i));
        out.push_back(element ? "element:" + std::string(element->getName().c_str())
                              : "text:" + std::string(children.at(i)->getText().c_str()));
    }
    return out;
}

std::string nested(unsigned depth, bool emptyInnermost)
{
    std::string text;
    for (unsigned i = 1; i < depth; ++i) text += "<e>";
    text += emptyInnermost ? "<e/>" : "<e>x</e>";
    for (unsigned i = 1; i < depth; ++i) text += "</e>";
    return text;
}

std::string billionLaughs()
{
    std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n <!ENTITY lol0 \"lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        text += " <!ENTITY lol" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) text += "&lol" + std::to_string(i - 1) + ";";
        text += "\">\n";
    }
    return text + "]>\n<lolz>&lol9;</lolz>";
}

struct ErrorCase {
    const char* what;
    std::string text;
    XML_Error code;
};

std::vector<ErrorCase> errorCases()
{
    return {
        {"empty text", "", XML_ERROR_NO_ELEMENTS},
        {"white space only", "  \n", XML_ERROR_NO_ELEMENTS},
        {"unclosed root", "<a>", XML_ERROR_NO_ELEMENTS},
        {"mismatched tags", "<a></b>", XML_ERROR_TAG_MISMATCH},
        {"two roots", "<a/><b/>", XML_ERROR_JUNK_AFTER_DOC_ELEMENT},
        {"text after the root", "<a/>x", XML_ERROR_JUNK_AFTER_DOC_ELEMENT},
        {"unknown encoding", "<?xml version=\"1.0\" encoding=\"x-none-such\"?><a/>", XML_ERROR_UNKNOWN_ENCODING},
        {"invalid byte", "<a>\xFF</a>", XML_ERROR_INVALID_TOKEN},
        {"cut UTF-8 sequence", "<a>\xE6\x88</a>", XML_ERROR_INVALID_TOKEN},
        {"undefined entity", "<a>&nope;</a>", XML_ERROR_UNDEFINED_ENTITY},
        {"duplicate attribute", "<a k='1' k='2'/>", XML_ERROR_DUPLICATE_ATTRIBUTE},
        {"entity amplification", billionLaughs(), XML_ERROR_AMPLIFICATION_LIMIT_BREACH},
        {"one level too deep", nested(kesh::xml::kMaxDepth + 1, false), XML_ERROR_ABORTED},
        {"one level too deep, empty innermost", nested(kesh::xml::kMaxDepth + 1, true), XML_ERROR_ABORTED},
        {"far too deep", nested(200000, true), XML_ERROR_ABORTED},
    };
}

bool feed(const ParserPtr& parser, const std::string& text, bool isFinal)
{
    return parser->parse(text.data(), static_cast<unsigned>(text.size()), isFinal);
}

}  // namespace

TEST(XmlParserErrorTest, ReportsExpatsCodeAndTextToTheParsersCatcher)
{
    for (const ErrorCase& c : errorCases()) {
        ParserPtr parser = createParser();
        ErrorCatcher catcher(parser.get());
        EXPECT_FALSE(feed(parser, c.text, true)) << c.what;
        EXPECT_EQ(static_cast<int>(c.code), catcher.getError().code) << c.what;
        EXPECT_STREQ(XML_ErrorString(c.code), catcher.getError().message.c_str()) << c.what;
        EXPECT_FALSE(parser->getDocument()) << c.what;
    }
}

TEST(XmlParserErrorTest, ParseGivesNothingAndReportsOnlyUnderItsOwnKey)
{
    for (const ErrorCase& c : errorCases()) {
        ErrorCatcher catcher(kesh::xml::parseErrorKey());
        EXPECT_FALSE(kesh::xml::parse(String(c.text.c_str()))) << c.what;
        EXPECT_EQ(static_cast<int>(c.code), catcher.getError().code) << c.what;
        EXPECT_STREQ(XML_ErrorString(c.code), catcher.getError().message.c_str()) << c.what;
    }
    EXPECT_FALSE(kesh::xml::parse("<a></b>"));  // no catcher: just the empty result
}

TEST(XmlParserErrorTest, SuccessReportsNothing)
{
    ErrorCatcher catcher(kesh::xml::parseErrorKey());
    EXPECT_TRUE(kesh::xml::parse("<a/>"));
    EXPECT_EQ(0, catcher.getError().code);
}

TEST(XmlParserDepthTest, NestingUpToTheLimitParses)
{
    for (bool emptyInnermost : {false, true}) {
        DocumentPtr d = kesh::xml::parse(nested(kesh::xml::kMaxDepth, emptyInnermost).c_str());
        ASSERT_TRUE(d);
        ElementPtr e = d->getRoot();
        unsigned depth = 1;
        while (!e->select("e", false).isEmpty()) {
            e = e->select("e", false).at(0);
            ++depth;
        }
        EXPECT_EQ(kesh::xml::kMaxDepth, depth);
    }
}

TEST(XmlParserDepthTest, DepthCountsOnlyOpenElements)
{
    // Many siblings at the limit's edge never add up to "too deep".
    std::string text = nested(kesh::xml::kMaxDepth - 1, false);
    std::string siblings;
    for (int i = 0; i < 1000; ++i) siblings += "<s/><t>y</t>";
    text.insert(text.find("x"), siblings);
    EXPECT_TRUE(kesh::xml::parse(text.c_str()));
}

TEST(XmlParserStateTest, FailureKeepsThePreviousDocument)
{
    ParserPtr parser = createParser();
    ASSERT_TRUE(feed(parser, "<first/>", true));
    DocumentPtr first = parser->getDocument();
    ASSERT_TRUE(first);
    EXPECT_FALSE(feed(parser, "<a></b>", true));
    EXPECT_EQ(first, parser->getDocument());
    EXPECT_FALSE(feed(parser, nested(kesh::xml::kMaxDepth + 1, true), true));
    EXPECT_EQ(first, parser->getDocument());
    // The failed text is forgotten: the next piece starts a new one.
    ASSERT_TRUE(feed(parser, "<second/>", true));
    EXPECT_STREQ("second", parser->getDocument()->getRoot()->getName().c_str());
    EXPECT_STREQ("first", first->getRoot()->getName().c_str());
    parser->reset();
    EXPECT_FALSE(parser->getDocument());
}

TEST(XmlParserStateTest, PiecesCarryOverUntilTheFinalOne)
{
    ParserPtr parser = createParser();
    EXPECT_TRUE(feed(parser, "<a>", false));
    EXPECT_FALSE(parser->getDocument());
    EXPECT_TRUE(feed(parser, "</a>", true));
    ASSERT_TRUE(parser->getDocument());
    EXPECT_STREQ("a", parser->getDocument()->getRoot()->getName().c_str());
    EXPECT_EQ(parser->getDocument(), parser->getDocument());

    // A failure in the middle drops the half-read text.
    EXPECT_TRUE(feed(parser, "<b>", false));
    EXPECT_FALSE(feed(parser, "</c>", false));
    EXPECT_TRUE(feed(parser, "<c/>", true));
    EXPECT_STREQ("c", parser->getDocument()->getRoot()->getName().c_str());
}

TEST(XmlParserStateTest, TextFedByteByByteMakesOneNode)
{
    const std::string text = "<?xml version='1.0' standalone='no'?><a k='v'> one &amp; two <b/> three </a>";
    ParserPtr parser = createParser();
    for (size_t i = 0; i < text.size(); ++i) ASSERT_TRUE(parser->parse(&text[i], 1, false)) << i;
    ASSERT_TRUE(parser->parse(nullptr, 0, true));
    DocumentPtr d = parser->getDocument();
    ASSERT_TRUE(d);
    EXPECT_EQ(std::vector<std::string>({"text:one & two", "element:b", "text:three"}), shape(d->getRoot()));
    EXPECT_STREQ("v", d->getRoot()->getAttribute("k", "", false).c_str());
    EXPECT_STREQ("no", d->getStandalone().c_str());
}

struct TreeCase {
    const char* text;
    std::vector<std::string> children;
};

TEST(XmlParserTreeTest, TextRunsBecomeTrimmedNodesInDocumentOrder)
{
    const TreeCase cases[] = {
        {"<a> x <b k='1'/> y </a>", {"text:x", "element:b", "text:y"}},
        {"<a>\n  <b/>\n</a>", {"element:b"}},
        {"<a>x<!-- c -->y</a>", {"text:xy"}},
        {"<a>x<?pi data?>y</a>", {"text:xy"}},
        {"<a>&amp;&lt;</a>", {"text:&<"}},
        {"<a><![CDATA[ <raw> ]]></a>", {"text:<raw>"}},
        {"<a>\t\r\n</a>", {}},
        {"<a>in\nside</a>", {"text:in\nside"}},
        {"<!DOCTYPE a><a>x</a>", {"text:x"}},
        {"<a><b>x</b><c/></a>", {"element:b", "element:c"}},
    };
    for (const TreeCase& c : cases) {
        DocumentPtr d = kesh::xml::parse(c.text);
        ASSERT_TRUE(d) << c.text;
        EXPECT_EQ(c.children, shape(d->getRoot())) << c.text;
    }
}

TEST(XmlParserTreeTest, AttributesKeepTheirOrderAndElementsTheirLinks)
{
    DocumentPtr d = kesh::xml::parse("<r z='1' a='2' m='&amp;'><c><g/></c></r>");
    ASSERT_TRUE(d);
    ElementPtr r = d->getRoot();
    EXPECT_FALSE(r->getParent());
    kesh::xml::AttributeArray attributes = r->getAttributes();
    ASSERT_EQ(3u, attributes.size());
    EXPECT_STREQ("z", attributes.at(0).first.c_str());
    EXPECT_STREQ("a", attributes.at(1).first.c_str());
    EXPECT_STREQ("&", attributes.at(2).second.c_str());
    ElementPtr c = r->select("c", false).at(0);
    EXPECT_EQ(r, c->getParent());
    EXPECT_EQ(c, r->select("c/g", false).at(0)->getParent());
}

struct DeclarationCase {
    const char* text;
    const char* version;
    const char* encoding;
    const char* standalone;
};

TEST(XmlParserTreeTest, DeclarationValues)
{
    const DeclarationCase cases[] = {
        {"<a/>", "", "", ""},
        {"<?xml version='1.0'?><a/>", "1.0", "", ""},
        {"<?xml version='1.0' encoding='UTF-8' standalone='yes'?><a/>", "1.0", "UTF-8", "yes"},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"no\"?><a>\xE9</a>", "1.0", "ISO-8859-1",
         "no"},
    };
    for (const DeclarationCase& c : cases) {
        DocumentPtr d = kesh::xml::parse(c.text);
        ASSERT_TRUE(d) << c.text;
        EXPECT_STREQ(c.version, d->getVersion().c_str()) << c.text;
        EXPECT_STREQ(c.encoding, d->getEncoding().c_str()) << c.text;
        EXPECT_STREQ(c.standalone, d->getStandalone().c_str()) << c.text;
    }
    // Latin-1 input comes out as UTF-8.
    EXPECT_STREQ("\xC3\xA9", kesh::xml::parse(cases[3].text)->getRoot()->getText().c_str());
}

namespace {

// Printable text of n bytes with a line break now and then and an
// ampersand that expat hands over as a piece of its own.
std::string filler(size_t n)
{
    std::string text;
    for (size_t i = 0; text.size() + 1 < n; ++i) text += (i % 50 == 49) ? '\n' : (i % 17 == 0 ? '&' : char('a' + i % 26));
    return text + 'z';  // white space at the ends would be trimmed
}

std::string escapedAmpersands(const std::string& text)
{
    std::string out;
    for (char c : text) out += c == '&' ? std::string("&amp;") : std::string(1, c);
    return out;
}

}  // namespace

TEST(XmlParserTextTest, RunsOfEverySizeComeBackExactly)
{
    for (size_t n : {size_t(1), size_t(40), size_t(41), size_t(65535), size_t(65537), size_t(300000)}) {
        const std::string text = filler(n);
        const std::string source = "<a>\n  " + escapedAmpersands(text) + " \t\n</a>";
        for (size_t piece : {source.size(), size_t(1000), size_t(70000)}) {
            ParserPtr parser = createParser();
            for (size_t at = 0; at < source.size(); at += piece) {
                const size_t len = std::min(piece, source.size() - at);
                ASSERT_TRUE(parser->parse(source.data() + at, static_cast<unsigned>(len), at + len == source.size()))
                    << n << " " << piece;
            }
            ASSERT_TRUE(parser->getDocument());
            ElementPtr a = parser->getDocument()->getRoot();
            ASSERT_EQ(1u, a->getChildren().size()) << n << " " << piece;
            const String got = a->getText();
            EXPECT_EQ(text.size(), got.length()) << n << " " << piece;
            EXPECT_TRUE(text == got.c_str()) << n << " " << piece;
        }
    }
}

TEST(XmlParserTextTest, LargeRunsAmongElementsStayApart)
{
    const std::string big = filler(100000);
    const std::string source = "<a><b>" + escapedAmpersands(big) + "</b> tail <c/>" + escapedAmpersands(big) + "x</a>";
    DocumentPtr d = kesh::xml::parse(source.c_str());
    ASSERT_TRUE(d);
    ElementPtr a = d->getRoot();
    EXPECT_TRUE(big == a->select("b", false).at(0)->getText().c_str());
    EXPECT_EQ(std::vector<std::string>({"element:b", "text:tail", "element:c", "text:" + big + "x"}), shape(a));
}

TEST(XmlParserTextTest, RepeatedValuesAreIndependentCopies)
{
    std::string source = "<r>";
    for (int i = 0; i < 3000; ++i)
        source += "<e n" + std::to_string(i % 700) + "='v" + std::to_string(i % 900) + "' same='s'>t" +
                  std::to_string(i % 500) + "</e>";
    source += "</r>";
    DocumentPtr d = kesh::xml::parse(source.c_str());
    ASSERT_TRUE(d);
    kesh::xml::ElementArray all = d->getRoot()->select("e", false);
    ASSERT_EQ(3000u, all.size());
    for (unsigned i = 0; i < all.size(); ++i) {
        const std::string name = "n" + std::to_string(i % 700);
        ASSERT_STREQ(("v" + std::to_string(i % 900)).c_str(), all.at(i)->getAttribute(name.c_str(), "", false).c_str());
        ASSERT_STREQ(("t" + std::to_string(i % 500)).c_str(), all.at(i)->getText().c_str());
    }
    // Changing one element's value leaves the others with the same text alone.
    String value = all.at(0)->getAttribute("same", "", false);
    value.append("changed");
    all.at(0)->setAttribute("same", value, false);
    all.at(1)->getAttributes().at(1).second.append("x");  // a copy of the list
    EXPECT_STREQ("schanged", all.at(0)->getAttribute("same", "", false).c_str());
    EXPECT_STREQ("s", all.at(1)->getAttribute("same", "", false).c_str());
    EXPECT_STREQ("s", all.at(2)->getAttribute("same", "", false).c_str());
}
