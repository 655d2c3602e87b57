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

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// How the bytes from a lead byte of 0x80 or more read as UTF-8: length
// bytes; holdable when they encode a character XML 1.0 can hold. A byte
// that starts no well-formed sequence (a stray or overlong lead, a sequence
// cut off) is one byte of its own; a well-formed sequence for a UTF-16
// surrogate, U+FFFE or U+FFFF is whole but not holdable.
struct Utf8Sequence {
    unsigned length;
    bool holdable;
};

Utf8Sequence readSequence(const unsigned char* p)
{
    const Utf8Sequence malformed = {1, false};
    unsigned length = 0;
    unsigned long code = 0;
    if (p[0] >= 0xC2 && p[0] <= 0xDF) {
        length = 2;
        code = p[0] & 0x1F;
    } else if (p[0] >= 0xE0 && p[0] <= 0xEF) {
        length = 3;
        code = p[0] & 0x0F;
    } else if (p[0] >= 0xF0 && p[0] <= 0xF4) {
        length = 4;
        code = p[0] & 0x07;
    } else {
        return malformed;
    }
    for (unsigned i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return malformed;  // the NUL at the end too
        code = code << 6 | (p[i] & 0x3F);
    }
    const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF) return malformed;
    const bool holdable = !(code >= 0xD800 && code <= 0xDFFF) && code != 0xFFFE && code != 0xFFFF;
    return {length, holdable};
}

// Appends text with & < > " ' CR LF (and tab inside an attribute value,
// where a parser turns it into a space) replaced by references, so that
// reading the text back gives every byte again. One pass gives what
// replacing & first and then the others would give: no reference written
// here is ever escaped again. What XML 1.0 cannot hold even as a reference
// (control characters, bytes that are no UTF-8, encoded surrogates) is
// written as U+FFFD, which keeps the output readable.
void appendEscaped(std::string& line, const String& text, bool attributeValue)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.c_str());
    while (*p) {
        const unsigned char c = *p;
        if (c >= 0x80) {
            const Utf8Sequence sequence = readSequence(p);
            if (sequence.holdable)
                line.append(reinterpret_cast<const char*>(p), sequence.length);
            else
                line += kReplacement;
            p += sequence.length;
            continue;
        }
        ++p;
        switch (c) {
        case '&': line += "&amp;"; break;
        case '<': line += "&lt;"; break;
        case '>': line += "&gt;"; break;
        case '"': line += "&quot;"; break;
        case '\'': line += "&apos;"; break;
        case '\r': line += "&#13;"; break;
        case '\n': line += "&#10;"; break;
        case '\t':
            if (attributeValue)
                line += "&#9;";
            else
                line += '\t';
            break;
        default:
            if (c < 0x20)
                line += kReplacement;
            else
                line += static_cast<char>(c);
            break;
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
    appendEscaped(line, text_, false);
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
        appendEscaped(line, attributes.at(i).second, true);
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
    // The bytes written are UTF-8 whatever the document was read from (its
    // text is held as UTF-8): naming another encoding here would make every
    // non-ASCII character read back wrong.
    line += "\" encoding=\"UTF-8\"";
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
