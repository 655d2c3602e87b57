#pragma once

// The library's own node classes. Callers see only the interfaces of
// kesh/xml.h and make nodes through its factories.

#include "kesh/xml.h"

#include <boost/enable_shared_from_this.hpp>
#include <boost/weak_ptr.hpp>

#include <string>

namespace kesh {
namespace xml {
namespace impl {

// The private side of every node: an element links its children to itself
// through it. An empty handle clears the link. The link is taken by value:
// an element hands each new child a link made for it, moved in without
// touching the shared counts again.
class IChild : public IBase {
public:
    virtual void setParent(boost::weak_ptr<IElement> parent) = 0;
};

class DataNode;

class ElementNode : public IElement, public IChild, public boost::enable_shared_from_this<ElementNode> {
public:
    explicit ElementNode(const String& name);
    // noChildren: an empty list; many elements may share one (the first
    // child added to an element gives it a list of its own).
    ElementNode(String name, AttributeArray attributes, const NodeArray& noChildren);

    ElementPtr getParent() override;
    NodePtr clone() override;
    bool write(IIO& out, unsigned step, unsigned indent) override;
    String toString(unsigned step) override;
    String getText() override;
    void setText(const String& text) override;

    String getName() override;
    void setName(const String& name) override;
    NodeArray getChildren() override;
    unsigned setChildren(const NodeArray& nodes) override;
    ElementPtr addElement(const String& name) override;
    void addChild(const NodePtr& node) override;
    NodePtr addData(const String& text) override;
    bool removeChild(const NodePtr& node) override;
    AttributeArray getAttributes() override;
    void setAttributes(const AttributeArray& attributes) override;
    String getAttribute(const String& name, const String& defaultValue, bool ignoreCase) override;
    void setAttribute(const String& name, const String& value, bool ignoreCase) override;
    void removeAttribute(const String& name, bool ignoreCase) override;
    ElementArray select(const String& path, bool ignoreCase) override;

    void setParent(boost::weak_ptr<IElement> parent) override;

    // addElement and addData for the parser, which knows the concrete
    // types, hands over the name, the attributes and the text it has built
    // and keeps only plain pointers: the new node is owned by this element.
    ElementNode* appendElement(String name, AttributeArray attributes, const NodeArray& noChildren);
    DataNode* appendData(String text);

private:
    // Links node (which is child) to this element and appends it.
    void attach(IChild& child, NodePtr node);
    void attach(NodePtr node);
    void detachAll();

    String name_;
    boost::weak_ptr<IElement> parent_;
    AttributeArray attributes_;
    NodeArray children_;
};

class DataNode : public INode, public IChild {
public:
    explicit DataNode(String text);

    ElementPtr getParent() override;
    NodePtr clone() override;
    bool write(IIO& out, unsigned step, unsigned indent) override;
    String toString(unsigned step) override;
    String getText() override;
    void setText(const String& text) override;

    void setParent(boost::weak_ptr<IElement> parent) override;

private:
    String text_;
    boost::weak_ptr<IElement> parent_;
};

class Document : public IDocument {
public:
    String getVersion() override;
    void setVersion(const String& version) override;
    String getEncoding() override;
    void setEncoding(const String& encoding) override;
    String getStandalone() override;
    void setStandalone(const String& standalone) override;
    ElementPtr getRoot() override;
    void setRoot(const ElementPtr& root) override;
    bool toString(String& target, unsigned step) override;
    bool write(IIO& out, unsigned step) override;

private:
    String version_;
    String encoding_;
    String standalone_;
    ElementPtr root_;
};

// Collects what is written and appends it to a String it does not own when
// it goes out of scope (or at flush). Appending once keeps writing a large
// tree linear: the String measures its length on every append.
class StringOutput : public IIO {
public:
    explicit StringOutput(String& target);
    ~StringOutput() override;
    StringOutput(const StringOutput&) = delete;
    StringOutput& operator=(const StringOutput&) = delete;

    unsigned read(void* buffer, unsigned count) override;  // not supported
    unsigned write(const void* buffer, unsigned count) override;
    void flush();

private:
    String& target_;
    std::string pending_;
};

}  // namespace impl
}  // namespace xml
}  // namespace kesh
