#include "kesh/xml.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kesh::String;
using kesh::StringPair;
using kesh::xml::AttributeArray;
using kesh::xml::ElementArray;
using kesh::xml::ElementPtr;
using kesh::xml::NodeArray;
using kesh::xml::NodePtr;
using kesh::xml::createData;
using kesh::xml::createElement;

namespace {

typedef std::vector<std::string> Strings;

// The "id" attributes of the elements, in order.
Strings ids(const ElementArray& elements)
{
    Strings out;
    for (unsigned i = 0; i < elements.size(); ++i)
        out.push_back(elements.at(i)->getAttribute("id", "?", false).c_str());
    return out;
}

// "name=value" for every attribute, in order.
Strings pairs(const AttributeArray& attributes)
{
    Strings out;
    for (unsigned i = 0; i < attributes.size(); ++i)
        out.push_back(std::string(attributes.at(i).first.c_str()) + "=" + attributes.at(i).second.c_str());
    return out;
}

ElementPtr child(const ElementPtr& parent, const char* name, const char* id)
{
    ElementPtr e = parent->addElement(name);
    e->setAttribute("id", id, false);
    return e;
}

// r holding a text, a(1) with b(1.1) b(1.2) x(1.3), a(2) with b(2.1), and
// C(3).
ElementPtr sampleTree()
{
    ElementPtr r = createElement("r");
    r->addData("a");
    ElementPtr a1 = child(r, "a", "1");
    child(a1, "b", "1.1");
    child(a1, "b", "1.2");
    child(a1, "x", "1.3");
    ElementPtr a2 = child(r, "a", "2");
    child(a2, "b", "2.1");
    child(r, "C", "3");
    return r;
}

}  // namespace

struct SelectCase {
    const char* path;
    bool ignoreCase;
    Strings expected;
};

TEST(XmlSelectTest, PathsDescendThroughTheFirstMatchAndReturnAllMatchesOfTheLastStep)
{
    const SelectCase cases[] = {
        {"", false, {}},
        {"/", false, {}},
        {"//", false, {}},
        {"a", false, {"1", "2"}},
        {"/a/", false, {"1", "2"}},
        {"a//b", false, {"1.1", "1.2"}},  // the b children of the first a only
        {"//a/b//", false, {"1.1", "1.2"}},
        {"a/x", false, {"1.3"}},
        {"r", false, {}},  // the first piece names a child, not the element itself
        {"x", false, {}},
        {"x/b", false, {}},
        {"a/b/c", false, {}},
        {"A", false, {}},
        {"A", true, {"1", "2"}},
        {"c", false, {}},
        {"c", true, {"3"}},
        {"A/B", true, {"1.1", "1.2"}},
    };
    ElementPtr r = sampleTree();
    for (const SelectCase& c : cases)
        EXPECT_EQ(c.expected, ids(r->select(c.path, c.ignoreCase))) << "path '" << c.path << "'";
}

TEST(XmlAttributeTest, GetReturnsTheFirstMatchOrTheDefault)
{
    ElementPtr e = createElement("e");
    AttributeArray list;
    list.append(StringPair("k", "first"));
    list.append(StringPair("K", "upper"));
    list.append(StringPair("k", "second"));
    e->setAttributes(list);
    EXPECT_STREQ("first", e->getAttribute("k", "dflt", false).c_str());
    EXPECT_STREQ("upper", e->getAttribute("K", "dflt", false).c_str());
    EXPECT_STREQ("first", e->getAttribute("K", "dflt", true).c_str());
    EXPECT_STREQ("dflt", e->getAttribute("missing", "dflt", true).c_str());
    EXPECT_STREQ("dflt", e->getAttribute("", "dflt", false).c_str());
}

struct SetAttributeCase {
    const char* name;
    bool ignoreCase;
    Strings expected;
};

TEST(XmlAttributeTest, SetRemovesEveryMatchAndAppendsAtTheEnd)
{
    const SetAttributeCase cases[] = {
        {"k", false, {"x=2", "K=3", "y=5", "k=9"}},
        {"k", true, {"x=2", "y=5", "k=9"}},
        {"K", true, {"x=2", "y=5", "K=9"}},
        {"x", false, {"k=1", "K=3", "k=4", "y=5", "x=9"}},
        {"new", false, {"k=1", "x=2", "K=3", "k=4", "y=5", "new=9"}},
    };
    for (const SetAttributeCase& c : cases) {
        ElementPtr e = createElement("e");
        for (const char* p : {"k=1", "x=2", "K=3", "k=4", "y=5"}) {
            const String s(p);
            e->setAttributes(e->getAttributes().append(StringPair(s.left(1), s.substr(2))));
        }
        e->setAttribute(c.name, "9", c.ignoreCase);
        EXPECT_EQ(c.expected, pairs(e->getAttributes())) << c.name << " ignoreCase " << c.ignoreCase;
    }
}

TEST(XmlAttributeTest, RemoveDropsEveryMatch)
{
    ElementPtr e = createElement("e");
    e->setAttributes(AttributeArray().append(StringPair("a", "1")).append(StringPair("A", "2")).append(
        StringPair("a", "3")));
    e->removeAttribute("a", false);
    EXPECT_EQ(Strings({"A=2"}), pairs(e->getAttributes()));
    e->removeAttribute("a", true);
    EXPECT_TRUE(e->getAttributes().isEmpty());
}

TEST(XmlTextTest, ElementTextJoinsItsDirectTextChildrenOnly)
{
    ElementPtr e = createElement("e");
    e->addData("a");
    e->addElement("b")->addData("c");
    e->addData("d");
    EXPECT_STREQ("ad", e->getText().c_str());
    EXPECT_STREQ("", createElement("empty")->getText().c_str());
    EXPECT_STREQ("t", createData("t")->getText().c_str());
}

TEST(XmlLinkTest, ChildrenOfAGoneElementReportNoParent)
{
    NodePtr d;
    {
        ElementPtr e = createElement("e");
        d = e->addData("d");
        ASSERT_TRUE(d->getParent());
    }
    EXPECT_FALSE(d->getParent());
}

TEST(XmlLinkTest, AddChildAttachesAClone)
{
    ElementPtr e = createElement("e");
    NodePtr n = createData("n");
    e->addChild(n);
    EXPECT_FALSE(n->getParent());
    EXPECT_FALSE(e->removeChild(n));
    NodeArray children = e->getChildren();
    ASSERT_EQ(1u, children.size());
    EXPECT_NE(n, children.at(0));
    EXPECT_EQ(e, children.at(0)->getParent());
    n->setText("changed");
    EXPECT_STREQ("n", e->getText().c_str());
}

TEST(XmlLinkTest, RemoveChildGoesByIdentity)
{
    ElementPtr e = createElement("e");
    NodePtr first = e->addData("same");
    NodePtr second = e->addData("same");
    EXPECT_FALSE(e->removeChild(createData("same")));
    EXPECT_TRUE(e->removeChild(second));
    EXPECT_FALSE(second->getParent());
    EXPECT_EQ(e, first->getParent());
    ASSERT_EQ(1u, e->getChildren().size());
    EXPECT_EQ(first, e->getChildren().at(0));
    EXPECT_FALSE(e->removeChild(second));
}

TEST(XmlLinkTest, SetTextUnlinksTheDroppedChildrenAndLinksTheNewText)
{
    ElementPtr e = createElement("e");
    ElementPtr b = e->addElement("b");
    NodePtr d = e->addData("d");
    e->setText("new");
    EXPECT_FALSE(b->getParent());
    EXPECT_FALSE(d->getParent());
    NodeArray children = e->getChildren();
    ASSERT_EQ(1u, children.size());
    EXPECT_STREQ("new", children.at(0)->getText().c_str());
    EXPECT_EQ(e, children.at(0)->getParent());
}

TEST(XmlLinkTest, InnerNodesOfACloneLinkToTheCopiedElements)
{
    ElementPtr r = sampleTree();
    ElementPtr copy = boost::dynamic_pointer_cast<kesh::xml::IElement>(r->clone());
    ASSERT_TRUE(copy);
    EXPECT_FALSE(copy->getParent());
    NodeArray children = copy->getChildren();
    ASSERT_EQ(4u, children.size());  // the text, a, a and C
    for (unsigned i = 0; i < children.size(); ++i) EXPECT_EQ(copy, children.at(i)->getParent()) << i;
    ElementArray a = copy->select("a", false);
    ElementArray b = copy->select("a/b", false);
    ASSERT_EQ(2u, b.size());
    EXPECT_EQ(a.at(0), b.at(0)->getParent());

    ElementPtr inner = r->select("a", false).at(0);
    NodePtr innerCopy = inner->clone();
    EXPECT_FALSE(innerCopy->getParent());
}

TEST(XmlCloneTest, CopiesAreIndependent)
{
    ElementPtr r = sampleTree();
    r->setAttribute("k", "v", false);
    ElementPtr copy = boost::dynamic_pointer_cast<kesh::xml::IElement>(r->clone());
    ASSERT_TRUE(copy);
    const String before = r->toString(1);
    EXPECT_STREQ(before.c_str(), copy->toString(1).c_str());

    copy->setName("other");
    copy->setAttribute("k", "changed", false);
    copy->select("a", false).at(0)->setAttribute("id", "changed", false);
    copy->select("a/b", false).at(0)->setText("t");
    copy->addElement("more");
    EXPECT_STREQ(before.c_str(), r->toString(1).c_str());

    r->select("a", false).at(1)->setName("z");
    EXPECT_EQ(Strings({"changed", "2"}), ids(copy->select("a", false)));
}

TEST(XmlChildrenTest, SetChildrenClonesLinksAndUnlinks)
{
    ElementPtr e = createElement("e");
    NodePtr old = e->addData("old");
    NodeArray given;
    given.append(createData("x"));
    given.append(createElement("y"));
    EXPECT_EQ(2u, e->setChildren(given));
    EXPECT_FALSE(old->getParent());
    NodeArray now = e->getChildren();
    ASSERT_EQ(2u, now.size());
    for (unsigned i = 0; i < 2; ++i) {
        EXPECT_NE(given.at(i), now.at(i));
        EXPECT_EQ(e, now.at(i)->getParent());
        EXPECT_FALSE(given.at(i)->getParent());
    }
    EXPECT_EQ(2u, e->setChildren(e->getChildren()));  // its own list
    EXPECT_STREQ("x", e->getText().c_str());
    EXPECT_EQ(1u, e->select("y", false).size());
    EXPECT_EQ(0u, e->setChildren(NodeArray()));
    EXPECT_TRUE(e->getChildren().isEmpty());
}
