#include "kesh/xml.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kesh::String;
using kesh::xml::DocumentPtr;
using kesh::xml::ElementPtr;
using kesh::xml::createData;
using kesh::xml::createDocument;
using kesh::xml::createElement;

namespace {

// Records every write; takes at most `room` bytes in all, then short writes.
class RecordingOutput : public kesh::IIO {
public:
    explicit RecordingOutput(size_t room = ~size_t(0)) : room_(room) {}
    unsigned read(void*, unsigned) override { return 0; }
    unsigned write(const void* buffer, unsigned count) override
    {
        ++calls;
        const size_t n = count < room_ ? count : room_;
        text.append(static_cast<const char*>(buffer), n);
        room_ -= n;
        return static_cast<unsigned>(n);
    }
    std::string text;
    unsigned calls = 0;

private:
    size_t room_;
};

}  // namespace

struct EscapeCase {
    const char* text;
    const char* written;
};

TEST(XmlWriterTest, TextAndAttributeValuesAreEscaped)
{
    const EscapeCase cases[] = {
        {"plain", "plain"},
        {"&", "&amp;"},
        {"<", "&lt;"},
        {">", "&gt;"},
        {"\"", "&quot;"},
        {"'", "&apos;"},
        {"\r", "&#13;"},
        {"\n", "&#10;"},
        {"a\r\nb", "a&#13;&#10;b"},
        {"&lt;", "&amp;lt;"},  // an entity in the text is text
        {"&#10;", "&amp;#10;"},
        {"<&\">", "&lt;&amp;&quot;&gt;"},
        {"\xE6\x88\xAA", "\xE6\x88\xAA"},
    };
    for (const EscapeCase& c : cases) {
        EXPECT_EQ(std::string(c.written) + "\n", createData(c.text)->toString(7).c_str()) << c.text;
        RecordingOutput out;
        EXPECT_TRUE(createData(c.text)->write(out, 7, 2));  // indented, step unused
        EXPECT_EQ(std::string("  ") + c.written + "\n", out.text) << c.text;
        ElementPtr e = createElement("e");
        e->setAttribute("v", c.text, false);
        EXPECT_EQ(std::string("<e v=\"") + c.written + "\"/>\n", e->toString(2).c_str()) << c.text;
    }
    // A parser turns a tab in an attribute value into a space.
    EXPECT_STREQ("a\tb\n", createData("a\tb")->toString(0).c_str());
    ElementPtr e = createElement("e");
    e->setAttribute("v", "a\tb", false);
    EXPECT_STREQ("<e v=\"a&#9;b\"/>\n", e->toString(0).c_str());
}

TEST(XmlWriterTest, ElementsAndTextTakeTheirOwnIndentedLines)
{
    ElementPtr r = createElement("r");
    EXPECT_STREQ("<r/>\n", r->toString(2).c_str());
    r->setAttribute("a", "1", false);
    r->setAttribute("b", "", false);
    EXPECT_STREQ("<r a=\"1\" b=\"\"/>\n", r->toString(2).c_str());

    ElementPtr empty = createElement("t");
    empty->addData("");
    EXPECT_STREQ("<t>\n  \n</t>\n", empty->toString(2).c_str());

    r->addData("x");
    ElementPtr c = r->addElement("c");
    c->addElement("d");
    c->addData("y");
    EXPECT_STREQ("<r a=\"1\" b=\"\">\n   x\n   <c>\n      <d/>\n      y\n   </c>\n</r>\n", r->toString(3).c_str());
    EXPECT_STREQ("<r a=\"1\" b=\"\">\nx\n<c>\n<d/>\ny\n</c>\n</r>\n", r->toString(0).c_str());

    RecordingOutput out;
    EXPECT_TRUE(c->write(out, 2, 4));
    EXPECT_EQ("    <c>\n      <d/>\n      y\n    </c>\n", out.text);
    EXPECT_EQ(4u, out.calls);  // one write per line
}

struct DeclarationCase {
    const char* version;
    const char* encoding;
    const char* standalone;
    const char* line;
};

TEST(XmlWriterTest, DeclarationDefaultsAndStandalone)
{
    const DeclarationCase cases[] = {
        {"", "", "", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"},
        {"1.1", "", "", "<?xml version=\"1.1\" encoding=\"UTF-8\"?>\n"},
        {"", "GBK", "", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"},  // the bytes written are UTF-8
        {"", "", "yes", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"},
        {"1.0", "UTF-8", "no", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"},
    };
    for (const DeclarationCase& c : cases) {
        DocumentPtr d = createDocument("r", c.version, c.encoding, c.standalone);
        String text;
        EXPECT_TRUE(d->toString(text, 2));
        EXPECT_EQ(std::string(c.line) + "<r/>\n", text.c_str());
    }
}

TEST(XmlWriterTest, DocumentExampleWithAttributeAndText)
{
    DocumentPtr d = createDocument("r", "", "", "");
    d->getRoot()->setAttribute("a", "1", false);
    d->getRoot()->addData("x");
    RecordingOutput out;
    EXPECT_TRUE(d->write(out, 2));
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r a=\"1\">\n  x\n</r>\n", out.text);
}

TEST(XmlWriterTest, DocumentToStringAppends)
{
    DocumentPtr d = createDocument("r", "", "", "");
    String text("before\n");
    EXPECT_TRUE(d->toString(text, 2));
    EXPECT_STREQ("before\n<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r/>\n", text.c_str());
}

TEST(XmlWriterTest, DocumentWithoutRootWritesNothing)
{
    DocumentPtr d = createDocument("", "", "", "yes");
    RecordingOutput out;
    EXPECT_FALSE(d->write(out, 2));
    EXPECT_EQ(0u, out.calls);
    String text("kept");
    EXPECT_FALSE(d->toString(text, 2));
    EXPECT_STREQ("kept", text.c_str());
}

TEST(XmlWriterTest, ShortWriteStopsEverything)
{
    DocumentPtr d = createDocument("r", "", "", "");
    d->getRoot()->addElement("a")->addData("text");
    d->getRoot()->addElement("b");
    String full;
    ASSERT_TRUE(d->toString(full, 1));
    const std::string expected = full.c_str();
    // Cut inside the declaration, inside a start tag, inside the text, at
    // the last byte.
    for (size_t room : {size_t(0), size_t(10), size_t(45), size_t(52), expected.size() - 1}) {
        RecordingOutput out(room);
        EXPECT_FALSE(d->write(out, 1)) << room;
        EXPECT_EQ(expected.substr(0, room), out.text) << room;
        // The short write is the last one.
        size_t lines = 0;
        for (size_t i = 0; i < room; ++i) lines += expected[i] == '\n';
        EXPECT_EQ(lines + 1, out.calls) << room;
    }
    RecordingOutput exact(expected.size());
    EXPECT_TRUE(d->write(exact, 1));
}

TEST(XmlWriterTest, ParseWriteParseRoundTrip)
{
    const char* source =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<answer v='a&amp;b &lt;&gt; &quot;q&quot; &apos;s&apos; &#10;&#13;'>"
        "<result code=\"0\">  fine &amp; dandy  </result>"
        "<content><url title=\"\xE6\x88\xAA\xE5\x9B\xBE\">http://x/?a=1&amp;b=2</url><url/></content>"
        "tail<!-- gone -->text</answer>";
    DocumentPtr first = kesh::xml::parse(source);
    ASSERT_TRUE(first);
    String written;
    ASSERT_TRUE(first->toString(written, 2));
    DocumentPtr second = kesh::xml::parse(written);
    ASSERT_TRUE(second) << written.c_str();
    String again;
    ASSERT_TRUE(second->toString(again, 2));
    EXPECT_STREQ(written.c_str(), again.c_str());

    ElementPtr root = second->getRoot();
    EXPECT_STREQ("yes", second->getStandalone().c_str());
    EXPECT_STREQ("a&b <> \"q\" 's' \n\r", root->getAttribute("v", "", false).c_str());
    EXPECT_STREQ("fine & dandy", root->select("result", false).at(0)->getText().c_str());
    EXPECT_STREQ("http://x/?a=1&b=2", root->select("content/url", false).at(0)->getText().c_str());
    EXPECT_STREQ("\xE6\x88\xAA\xE5\x9B\xBE", root->select("content/url", false).at(0)->getAttribute("title", "", false).c_str());
    EXPECT_EQ(2u, root->select("content/url", false).size());
    EXPECT_STREQ("tailtext", root->getText().c_str());
}

namespace {

// The tree as plain text, made without the writer: names, attributes in
// order and children, every byte as it is held.
std::string Dump(const kesh::xml::NodePtr& node)
{
    const ElementPtr element = boost::dynamic_pointer_cast<kesh::xml::IElement>(node);
    if (!element)
        return std::string("\"") + node->getText().c_str() + "\"";
    std::string out = std::string(element->getName().c_str()) + "[";
    const kesh::xml::AttributeArray attributes = element->getAttributes();
    for (unsigned i = 0; i < attributes.size(); ++i)
        out += std::string(attributes.at(i).first.c_str()) + "=" + attributes.at(i).second.c_str() + ";";
    out += "](";
    const kesh::xml::NodeArray children = element->getChildren();
    for (unsigned i = 0; i < children.size(); ++i)
        out += Dump(children.at(i)) + ",";
    return out + ")";
}

// What reading back what was written gives, or "unreadable".
std::string WrittenAndReadBack(const DocumentPtr& document)
{
    String written;
    if (!document->toString(written, 2))
        return "not written";
    DocumentPtr back = kesh::xml::parse(written);
    return back ? Dump(back->getRoot()) : "unreadable: " + std::string(written.c_str());
}

DocumentPtr ParsedBytes(const std::string& bytes)
{
    kesh::xml::ParserPtr parser = kesh::xml::createParser();
    return parser->parse(bytes.data(), static_cast<unsigned>(bytes.size()), true) ? parser->getDocument()
                                                                                  : DocumentPtr();
}

}  // namespace

// Texts keep the white space inside them (their ends are trimmed when read,
// so none is tried there); attribute values keep every white space.
TEST(XmlWriterRoundTrip, TreesComeBackAsTheyWere)
{
    const struct {
        const char* text;
        const char* attribute;
    } cases[] = {
        {"\xE6\x88\xAA\xE5\x9B\xBE \xE4\xB8\x8A\xE4\xBC\xA0", "\xE8\xAF\xB4\xE6\x98\x8E"},
        {"<a> & \"b\" 'c'", "<a> & \"b\" 'c'"},
        {"one\ttab, one\nline\r\nand\rreturn", "\ttab\tand\nline\r\nends "},
        {"x", " \t\r\n "},
        {"a  b", ""},
    };
    for (const auto& c : cases) {
        DocumentPtr d = createDocument("r", "", "", "");
        ElementPtr child = d->getRoot()->addElement("c");
        child->setAttribute("v", c.attribute, false);
        child->addData(c.text);
        d->getRoot()->addData(c.text);
        EXPECT_EQ(Dump(d->getRoot()), WrittenAndReadBack(d)) << c.text;
    }
}

// A document read from another encoding is held as UTF-8 and written as
// UTF-8: the declaration must say so, or every non-ASCII character is read
// back wrong.
TEST(XmlWriterRoundTrip, DocumentsReadFromOtherEncodingsAreWrittenAsUtf8)
{
    std::string utf16 = "\xFF\xFE";  // UTF-16LE with its byte order mark
    for (const char* p = "<?xml version=\"1.0\" encoding=\"UTF-16\"?><r v=\"\xE9\">\xE9t\xE9</r>"; *p; ++p)
        utf16 += std::string(1, *p) + '\0';
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"ISO-8859-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r v=\"\xE9\">\xE9t\xE9</r>"},
        {"UTF-16", utf16},
    };
    for (const auto& c : cases) {
        DocumentPtr d = ParsedBytes(c.bytes);
        ASSERT_TRUE(d) << c.name;
        EXPECT_STREQ(c.name, d->getEncoding().c_str());
        const std::string tree = Dump(d->getRoot());
        EXPECT_EQ("r[v=\xC3\xA9;](\"\xC3\xA9t\xC3\xA9\",)", tree) << c.name;
        EXPECT_EQ(tree, WrittenAndReadBack(d)) << c.name;
        String written;
        d->toString(written, 0);
        EXPECT_EQ(0u, written.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << written.c_str();
    }
}

// Control characters, bytes that are no UTF-8 and UTF-8 for lone UTF-16
// surrogates have no place in XML 1.0, not even as references: each is
// written as U+FFFD, and the rest stays readable.
TEST(XmlWriterRoundTrip, CharactersXmlCannotHoldBecomeReplacementCharacters)
{
    const std::string r = "\xEF\xBF\xBD";
    const struct {
        const char* text;
        std::string readBack;
    } cases[] = {
        {"a\x01" "b\x1F" "c\x7F", "a" + r + "b" + r + "c\x7F"},
        {"bad \xFF byte \xC3", "bad " + r + " byte " + r},
        {"lone \xED\xA0\x80 surrogate", "lone " + r + " surrogate"},
        {"not \xEF\xBF\xBE a character", "not " + r + " a character"},
        {"overlong \xC0\xAF slash", "overlong " + r + r + " slash"},
        {"kept \xF0\x9F\x98\x80 and \xE6\x88\xAA", "kept \xF0\x9F\x98\x80 and \xE6\x88\xAA"},
    };
    for (const auto& c : cases) {
        DocumentPtr d = createDocument("r", "", "", "");
        d->getRoot()->setAttribute("v", c.text, false);
        d->getRoot()->addData(c.text);
        EXPECT_EQ("r[v=" + c.readBack + ";](\"" + c.readBack + "\",)", WrittenAndReadBack(d)) << c.text;
    }
}
