#include "kesh/impl/xml_nodes.h"

#include "kesh/assert.h"

#include <boost/make_shared.hpp>

namespace kesh {
namespace xml {

namespace {

impl::IChild* asChild(const NodePtr& node)
{
    KESH_ASSERT(node);
    impl::IChild* child = dynamic_cast<impl::IChild*>(node.get());
    // Only the library's own nodes can be linked to an element.
    KESH_ASSERT(child);
    return child;
}

bool isElement(const NodePtr& node)
{
    return dynamic_cast<IElement*>(node.get()) != nullptr;
}

}  // namespace

ElementPtr createElement(const String& name)
{
    return boost::make_shared<impl::ElementNode>(name);
}

NodePtr createData(const String& text)
{
    return boost::make_shared<impl::DataNode>(text);
}

namespace impl {

// ---- ElementNode

ElementNode::ElementNode(const String& name) : name_(name) {}

ElementNode::ElementNode(String name, AttributeArray attributes, const NodeArray& noChildren)
    : name_(std::move(name)), attributes_(std::move(attributes)), children_(noChildren)
{
    KESH_ASSERT(noChildren.isEmpty());
}

ElementPtr ElementNode::getParent()
{
    return parent_.lock();
}

void ElementNode::setParent(boost::weak_ptr<IElement> parent)
{
    parent_ = std::move(parent);
}

void ElementNode::attach(IChild& child, NodePtr node)
{
    // A link of its own for the child, made from this element's weak self
    // as IElement directly: converting a weak handle of the concrete type
    // would lock it, a pair of shared-count changes for every child.
    child.setParent(boost::weak_ptr<IElement>(weak_from_this(), this));
    children_.append(std::move(node));
}

void ElementNode::attach(NodePtr node)
{
    IChild* child = asChild(node);
    attach(*child, std::move(node));
}

ElementNode* ElementNode::appendElement(String name, AttributeArray attributes, const NodeArray& noChildren)
{
    boost::shared_ptr<ElementNode> element =
        boost::make_shared<ElementNode>(std::move(name), std::move(attributes), noChildren);
    ElementNode* added = element.get();
    attach(*added, std::move(element));
    return added;
}

DataNode* ElementNode::appendData(String text)
{
    boost::shared_ptr<DataNode> data = boost::make_shared<DataNode>(std::move(text));
    DataNode* added = data.get();
    attach(*added, std::move(data));
    return added;
}

void ElementNode::detachAll()
{
    const NodeArray& children = children_;
    for (unsigned i = 0; i < children.size(); ++i) asChild(children.at(i))->setParent(boost::weak_ptr<IElement>());
    children_.clear();
}

NodePtr ElementNode::clone()
{
    boost::shared_ptr<ElementNode> copy = boost::make_shared<ElementNode>(name_, attributes_, NodeArray());
    const NodeArray& children = children_;
    for (unsigned i = 0; i < children.size(); ++i) copy->attach(children.at(i)->clone());
    return copy;
}

String ElementNode::getText()
{
    // Most elements hold one text node: hand its text back shared.
    String first;
    std::string joined;
    unsigned pieces = 0;
    const NodeArray& children = children_;
    for (unsigned i = 0; i < children.size(); ++i) {
        const NodePtr& node = children.at(i);
        KESH_ASSERT(node);
        if (isElement(node)) continue;
        const String text = node->getText();
        if (text.isEmpty()) continue;
        if (++pieces == 1) {
            first = text;
            continue;
        }
        if (pieces == 2) joined = first.c_str();
        joined += text.c_str();
    }
    return pieces < 2 ? first : String(joined.c_str(), static_cast<unsigned>(joined.size()));
}

void ElementNode::setText(const String& text)
{
    detachAll();
    appendData(text);
}

String ElementNode::getName()
{
    return name_;
}

void ElementNode::setName(const String& name)
{
    name_ = name;
}

NodeArray ElementNode::getChildren()
{
    return children_;
}

unsigned ElementNode::setChildren(const NodeArray& nodes)
{
    // nodes may be this element's own child list: the copy keeps those
    // nodes alive while they are cloned.
    const NodeArray given = nodes;
    detachAll();
    for (unsigned i = 0; i < given.size(); ++i) {
        KESH_ASSERT(given.at(i));
        attach(given.at(i)->clone());
    }
    return given.size();
}

ElementPtr ElementNode::addElement(const String& name)
{
    return appendElement(name, AttributeArray(), NodeArray())->shared_from_this();
}

void ElementNode::addChild(const NodePtr& node)
{
    KESH_ASSERT(node);
    attach(node->clone());
}

NodePtr ElementNode::addData(const String& text)
{
    appendData(text);
    const NodeArray& children = children_;
    return children.at(children.size() - 1);
}

bool ElementNode::removeChild(const NodePtr& node)
{
    KESH_ASSERT(node);
    const NodeArray& children = children_;
    for (unsigned i = 0; i < children.size(); ++i) {
        if (children.at(i).get() != node.get()) continue;
        asChild(node)->setParent(boost::weak_ptr<IElement>());
        children_.removeAt(i);
        return true;
    }
    return false;
}

AttributeArray ElementNode::getAttributes()
{
    return attributes_;
}

void ElementNode::setAttributes(const AttributeArray& attributes)
{
    attributes_ = attributes;
}

String ElementNode::getAttribute(const String& name, const String& defaultValue, bool ignoreCase)
{
    const AttributeArray& attributes = attributes_;
    for (unsigned i = 0; i < attributes.size(); ++i)
        if (attributes.at(i).first.compare(name.c_str(), ignoreCase) == 0) return attributes.at(i).second;
    return defaultValue;
}

void ElementNode::setAttribute(const String& name, const String& value, bool ignoreCase)
{
    const StringPair pair(name, value);  // name may be one of the pairs removed next
    removeAttribute(name, ignoreCase);
    attributes_.append(pair);
}

void ElementNode::removeAttribute(const String& name, bool ignoreCase)
{
    const String key = name;
    for (unsigned i = attributes_.size(); i-- > 0;) {
        const AttributeArray& attributes = attributes_;
        if (attributes.at(i).first.compare(key.c_str(), ignoreCase) == 0) attributes_.removeAt(i);
    }
}

ElementArray ElementNode::select(const String& path, bool ignoreCase)
{
    const StringArray pieces = path.split('/');
    ElementArray found;
    IElement* from = this;
    ElementPtr keep;  // holds the element the next step descends from
    for (unsigned p = 0; p < pieces.size(); ++p) {
        const char* piece = pieces.at(p).c_str();
        if (!*piece) continue;
        found = ElementArray();
        const NodeArray children = from->getChildren();
        for (unsigned i = 0; i < children.size(); ++i) {
            ElementPtr element = boost::dynamic_pointer_cast<IElement>(children.at(i));
            if (element && element->getName().compare(piece, ignoreCase) == 0) found.append(element);
        }
        if (found.isEmpty()) return found;
        keep = found.at(0);
        from = keep.get();
    }
    return found;
}

// ---- DataNode

DataNode::DataNode(String text) : text_(std::move(text)) {}

ElementPtr DataNode::getParent()
{
    return parent_.lock();
}

void DataNode::setParent(boost::weak_ptr<IElement> parent)
{
    parent_ = std::move(parent);
}

NodePtr DataNode::clone()
{
    return createData(text_);
}

String DataNode::getText()
{
    return text_;
}

void DataNode::setText(const String& text)
{
    text_ = text;
}

}  // namespace impl
}  // namespace xml
}  // namespace kesh
