#pragma once

#include "kesh/array.h"
#include "kesh/base.h"
#include "kesh/io.h"
#include "kesh/string.h"

#include <boost/shared_ptr.hpp>

// XML documents as trees of shared nodes, written back as indented text and
// read from text by a parser over expat. A tree is not synchronised: one
// thread at a time uses it; its handles may cross threads.
namespace kesh {
namespace xml {

class IElement;

// Any node of a tree: an element or a text node. A tree is owned from the
// top (the document owns its root, each element its children); a node knows
// its element only through a weak link.
class INode : public IBase {
public:
    // The element this node is attached to, or empty when it has none or
    // that element is gone.
    virtual boost::shared_ptr<IElement> getParent() = 0;
    // A deep copy. The copy itself is attached to nothing; the nodes inside
    // it are attached to their copied elements.
    virtual boost::shared_ptr<INode> clone() = 0;
    // Writes the node as indented UTF-8 text, one line per element tag and
    // per text node, step more spaces per level. Texts and attribute values
    // read back as they are, white space inside them included; what XML 1.0
    // cannot hold (control characters, bytes that are no UTF-8, encoded
    // surrogates) is written as U+FFFD. True when out took every byte;
    // nothing more is written after the first short write.
    virtual bool write(IIO& out, unsigned step, unsigned indent) = 0;
    // What write produces with indent 0.
    virtual String toString(unsigned step) = 0;
    // A text node's text; an element's direct text children, concatenated.
    virtual String getText() = 0;
    // A text node's text; an element drops all its children (they lose their
    // link to it) and holds one new text node instead.
    virtual void setText(const String& text) = 0;
};

typedef boost::shared_ptr<INode> NodePtr;
typedef boost::shared_ptr<IElement> ElementPtr;
typedef TArray<NodePtr> NodeArray;
typedef TArray<ElementPtr> ElementArray;
typedef TArray<StringPair> AttributeArray;

// An element: a name, attributes in order (name first) and children in
// document order. Names and attribute names are compared byte for byte, or
// folding A-Z only when ignoreCase is set.
class IElement : public INode {
public:
    virtual String getName() = 0;
    virtual void setName(const String& name) = 0;

    // A copy of the child list; changing it leaves the element alone.
    virtual NodeArray getChildren() = 0;
    // Replaces the children by clones of nodes (which must be non-empty
    // library nodes); returns their number.
    virtual unsigned setChildren(const NodeArray& nodes) = 0;
    // Appends a new empty element and returns it.
    virtual ElementPtr addElement(const String& name) = 0;
    // Appends a clone of node; node itself stays unattached.
    virtual void addChild(const NodePtr& node) = 0;
    // Appends a new text node and returns it.
    virtual NodePtr addData(const String& text) = 0;
    // Removes that very node (by identity); false when it is not a child.
    virtual bool removeChild(const NodePtr& node) = 0;

    virtual AttributeArray getAttributes() = 0;
    virtual void setAttributes(const AttributeArray& attributes) = 0;
    // The value of the first attribute of that name, else defaultValue.
    virtual String getAttribute(const String& name, const String& defaultValue, bool ignoreCase) = 0;
    // Removes every attribute of that name, then appends (name, value).
    virtual void setAttribute(const String& name, const String& value, bool ignoreCase) = 0;
    virtual void removeAttribute(const String& name, bool ignoreCase) = 0;

    // Elements by a "/"-separated path of names (empty pieces ignored). The
    // first piece names children of this element; each further step
    // descends through the first match only; the last step gives every
    // match. Empty when the path is empty or some step matches nothing.
    virtual ElementArray select(const String& path, bool ignoreCase) = 0;
};

// A document: the root element and the three values of the XML declaration
// (empty means "not given").
class IDocument : public IBase {
public:
    virtual String getVersion() = 0;
    virtual void setVersion(const String& version) = 0;
    virtual String getEncoding() = 0;
    virtual void setEncoding(const String& encoding) = 0;
    virtual String getStandalone() = 0;
    virtual void setStandalone(const String& standalone) = 0;
    virtual ElementPtr getRoot() = 0;
    virtual void setRoot(const ElementPtr& root) = 0;

    // Appends the document's text to target (which is not cleared first).
    virtual bool toString(String& target, unsigned step) = 0;
    // The declaration line (version "1.0" when not given, encoding always
    // "UTF-8", the encoding of the bytes written, standalone only when
    // given), then the root. A document without a root writes nothing and
    // gives false.
    virtual bool write(IIO& out, unsigned step) = 0;
};

typedef boost::shared_ptr<IDocument> DocumentPtr;

// Turns XML text, fed in one or more pieces, into a document.
class IParser : public IBase {
public:
    // Feeds the next length bytes; isFinal marks the last piece. On failure
    // a catcher watching this parser receives expat's error number and
    // text, and the parser starts over with the next piece.
    virtual bool parse(const char* data, unsigned length, bool isFinal) = 0;
    // Drops everything, the finished document too.
    virtual void reset() = 0;
    // The document of the last successful final piece, or empty.
    virtual DocumentPtr getDocument() = 0;
};

typedef boost::shared_ptr<IParser> ParserPtr;

// Elements nested deeper than this make the text fail to parse, so no text
// can make the recursive tree operations overflow the stack.
const unsigned kMaxDepth = 256;

ElementPtr createElement(const String& name);
NodePtr createData(const String& text);
// A document whose root is a new element named rootName (none when empty).
DocumentPtr createDocument(const String& rootName, const String& version, const String& encoding,
                           const String& standalone);

ParserPtr createParser();

// Parses one complete text; empty when it is not well-formed XML. The
// error goes only to a catcher watching parseErrorKey().
DocumentPtr parse(const String& text);

// The key under which parse() reports its failures: parse itself.
const void* parseErrorKey();

}  // namespace xml
}  // namespace kesh
