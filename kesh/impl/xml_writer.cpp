#include "kesh/impl/xml_nodes.h"

#include "kesh/assert.h"

namespace kesh {
namespace xml {

namespace {

// Hands one whole line to out; true when out took all of it.
bool writeLine(IIO& out, const std::string& line)
{
    const unsigned n = static_cast<unsigned>(line.size());
    return out.write(line.data(), n) == n;
}

// Appends text with & < > " ' CR LF replaced by their entities. One pass
// gives what replacing & first and then the others would give: no entity
// written here is ever escaped again.
void appendEscaped(std::string& line, const String& text)
{
    for (const char* p = text.c_str(); *p; ++p) {
        switch (*p) {
        case '&': line += "&amp;"; break;
        case '<': line += "&lt;"; break;
        case '>': line += "&gt;"; break;
        case '"': line += "&quot;"; break;
        case '\'': line += "&apos;"; break;
        case '\r': line += "&#13;"; break;
        case '\n': line += "&#10;"; break;
        default: line += *p; break;
        }
    }
}

String nodeText(INode& node, unsigned step)
{
    String text;
    {
        impl::StringOutput out(text);
        node.write(out, step, 0);
    }
    return text;
}

}  // namespace

namespace impl {

// ---- StringOutput

StringOutput::StringOutput(String& target) : target_(target) {}

StringOutput::~StringOutput()
{
    flush();
}

unsigned StringOutput::read(void*, unsigned)
{
    KESH_ASSERT(0);
    return 0;
}

unsigned StringOutput::write(const void* buffer, unsigned count)
{
    pending_.append(static_cast<const char*>(buffer), count);
    return count;
}

void StringOutput::flush()
{
    if (pending_.empty()) return;
    target_.append(pending_.c_str());
    pending_.clear();
}

// ---- writing nodes

bool DataNode::write(IIO& out, unsigned, unsigned indent)
{
    std::string line(indent, ' ');
    appendEscaped(line, text_);
    line += '\n';
    return writeLine(out, line);
}

String DataNode::toString(unsigned step)
{
    return nodeText(*this, step);
}

bool ElementNode::write(IIO& out, unsigned step, unsigned indent)
{
    std::string line(indent, ' ');
    line += '<';
    line += name_.c_str();
    const AttributeArray& attributes = attributes_;
    for (unsigned i = 0; i < attributes.size(); ++i) {
        line += ' ';
        line += attributes.at(i).first.c_str();
        line += "=\"";
        appendEscaped(line, attributes.at(i).second);
        line += '"';
    }
    const NodeArray& children = children_;
    if (children.isEmpty()) {
        line += "/>\n";
        return writeLine(out, line);
    }
    line += ">\n";
    if (!writeLine(out, line)) return false;
    for (unsigned i = 0; i < children.size(); ++i)
        if (!children.at(i)->write(out, step, indent + step)) return false;
    line.assign(indent, ' ');
    line += "</";
    line += name_.c_str();
    line += ">\n";
    return writeLine(out, line);
}

String ElementNode::toString(unsigned step)
{
    return nodeText(*this, step);
}

// ---- writing documents

bool Document::write(IIO& out, unsigned step)
{
    if (!root_) return false;
    std::string line("<?xml version=\"");
    line += version_.isEmpty() ? "1.0" : version_.c_str();
    line += "\" encoding=\"";
    line += encoding_.isEmpty() ? "UTF-8" : encoding_.c_str();
    line += '"';
    const String standalone = getStandalone();
    if (!standalone.isEmpty()) {
        line += " standalone=\"";
        line += standalone.c_str();
        line += '"';
    }
    line += "?>\n";
    if (!writeLine(out, line)) return false;
    return root_->write(out, step, 0);
}

bool Document::toString(String& target, unsigned step)
{
    StringOutput out(target);
    return write(out, step);
}

}  // namespace impl
}  // namespace xml
}  // namespace kesh
