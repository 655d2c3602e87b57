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
        {"\t \xE6\x88\xAA", "\t \xE6\x88\xAA"},
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
        {"", "GBK", "", "<?xml version=\"1.0\" encoding=\"GBK\"?>\n"},
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
