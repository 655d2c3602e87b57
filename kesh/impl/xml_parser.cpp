#include "kesh/xml.h"

#include "kesh/error.h"

#include <boost/make_shared.hpp>

#include <expat.h>

#include <memory>
#include <string>

namespace kesh {
namespace xml {
namespace impl {

// Builds a tree from expat's call-backs. Between the first piece of a text
// and its final one, the expat parser, the elements read so far, the pending
// text and the declaration values carry over.
class Parser : public IParser {
public:
    Parser() = default;
    ~Parser() override { reset(); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    bool parse(const char* data, unsigned length, bool isFinal) override;
    void reset() override;
    DocumentPtr getDocument() override { return document_; }

private:
    struct ExpatFree {
        void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
    };

    bool begin();
    bool feed(const char* data, unsigned length, bool isFinal);
    void fail(XML_Error code);
    void finish();
    void clear();
    void flushText();
    void stop();

    static void XMLCALL onStart(void* user, const XML_Char* name, const XML_Char** attributes);
    static void XMLCALL onEnd(void* user, const XML_Char* name);
    static void XMLCALL onText(void* user, const XML_Char* text, int length);
    static void XMLCALL onDeclaration(void* user, const XML_Char* version, const XML_Char* encoding,
                                      int standalone);
    static void XMLCALL onDoctypeStart(void*, const XML_Char*, const XML_Char*, const XML_Char*, int) {}
    static void XMLCALL onDoctypeEnd(void*) {}
    static void XMLCALL onNamespaceStart(void*, const XML_Char*, const XML_Char*) {}
    static void XMLCALL onNamespaceEnd(void*, const XML_Char*) {}

    std::unique_ptr<XML_ParserStruct, ExpatFree> expat_;
    DocumentPtr document_;
    ElementPtr root_;
    ElementPtr current_;
    // Character data arrives in many small pieces; it is collected here and
    // becomes a String once, at the next tag.
    std::string pendingText_;
    String version_;
    String encoding_;
    int standalone_ = -1;
    unsigned depth_ = 0;
    // Set when a handler has stopped expat: call-backs that expat still
    // delivers afterwards are ignored.
    bool stopped_ = false;
};

namespace {

inline bool isSpace(char c)
{
    return c == ' ' || (c >= 9 && c <= 13);
}

inline Parser* self(void* user)
{
    return static_cast<Parser*>(user);
}

}  // namespace

bool Parser::begin()
{
    expat_.reset(XML_ParserCreate(nullptr));
    if (!expat_) return false;
    XML_Parser p = expat_.get();
    XML_SetUserData(p, this);
    XML_SetElementHandler(p, &Parser::onStart, &Parser::onEnd);
    XML_SetCharacterDataHandler(p, &Parser::onText);
    XML_SetXmlDeclHandler(p, &Parser::onDeclaration);
    XML_SetDoctypeDeclHandler(p, &Parser::onDoctypeStart, &Parser::onDoctypeEnd);
    XML_SetNamespaceDeclHandler(p, &Parser::onNamespaceStart, &Parser::onNamespaceEnd);
    return true;
}

// expat takes an int length: a longer text goes in several calls.
bool Parser::feed(const char* data, unsigned length, bool isFinal)
{
    const unsigned kMaxCall = 1u << 30;
    for (;;) {
        const unsigned n = length > kMaxCall ? kMaxCall : length;
        const bool last = n == length;
        if (XML_Parse(expat_.get(), data, static_cast<int>(n), isFinal && last) == XML_STATUS_ERROR) return false;
        if (last) return true;
        data += n;
        length -= n;
    }
}

bool Parser::parse(const char* data, unsigned length, bool isFinal)
{
    if (!expat_ && !begin()) {
        fail(XML_ERROR_NO_MEMORY);
        return false;
    }
    if (!feed(data, length, isFinal)) {
        fail(XML_GetErrorCode(expat_.get()));
        return false;
    }
    if (isFinal) finish();
    return true;
}

void Parser::fail(XML_Error code)
{
    const IParser* key = this;
    if (isErrorCaught(key)) {
        Error error;
        error.code = code;
        error.message = XML_ErrorString(code);
        reportError(key, error);
    }
    clear();
}

void Parser::finish()
{
    DocumentPtr document = createDocument(String(), version_, encoding_, String());
    document->setRoot(root_);
    if (standalone_ == 0) document->setStandalone("no");
    if (standalone_ == 1) document->setStandalone("yes");
    document_ = document;
    clear();
}

void Parser::clear()
{
    expat_.reset();
    root_.reset();
    current_.reset();
    std::string().swap(pendingText_);
    version_ = String();
    encoding_ = String();
    standalone_ = -1;
    depth_ = 0;
    stopped_ = false;
}

void Parser::reset()
{
    clear();
    document_.reset();
}

// White space at either end is dropped; a run of white space alone makes no
// node.
void Parser::flushText()
{
    if (pendingText_.empty()) return;
    const char* first = pendingText_.data();
    const char* end = first + pendingText_.size();
    while (first < end && isSpace(*first)) ++first;
    while (end > first && isSpace(end[-1])) --end;
    if (first < end && current_) current_->addData(String(first, static_cast<unsigned>(end - first)));
    pendingText_.clear();
}

// Aborts the text: XML_Parse then fails with expat's "parsing aborted".
void Parser::stop()
{
    stopped_ = true;
    XML_StopParser(expat_.get(), XML_FALSE);
}

void XMLCALL Parser::onStart(void* user, const XML_Char* name, const XML_Char** attributes)
{
    Parser* p = self(user);
    if (p->stopped_) return;
    // The tree is freed, cloned and written recursively: a text nested
    // deeper than the limit is refused before it can exhaust the stack.
    if (++p->depth_ > kMaxDepth) {
        p->stop();
        return;
    }
    p->flushText();
    ElementPtr element;
    if (p->current_) {
        element = p->current_->addElement(name);
    } else {
        element = createElement(name);
        p->root_ = element;
    }
    if (attributes && attributes[0]) {
        AttributeArray list;
        for (const XML_Char** a = attributes; a[0]; a += 2) list.append(StringPair(a[0], a[1]));
        element->setAttributes(list);
    }
    p->current_ = element;
}

void XMLCALL Parser::onEnd(void* user, const XML_Char*)
{
    Parser* p = self(user);
    if (p->stopped_) return;
    p->flushText();
    --p->depth_;
    if (p->current_) p->current_ = p->current_->getParent();
}

void XMLCALL Parser::onText(void* user, const XML_Char* text, int length)
{
    Parser* p = self(user);
    if (p->stopped_ || length <= 0) return;
    p->pendingText_.append(text, static_cast<size_t>(length));
}

void XMLCALL Parser::onDeclaration(void* user, const XML_Char* version, const XML_Char* encoding, int standalone)
{
    Parser* p = self(user);
    p->version_ = String(version);
    p->encoding_ = String(encoding);
    p->standalone_ = standalone;
}

}  // namespace impl

ParserPtr createParser()
{
    return boost::make_shared<impl::Parser>();
}

const void* parseErrorKey()
{
    return reinterpret_cast<const void*>(&parse);
}

DocumentPtr parse(const String& text)
{
    ParserPtr parser = createParser();
    ErrorCatcher catcher(parser.get());
    if (parser->parse(text.c_str(), text.length(), true)) return parser->getDocument();
    if (isErrorCaught(parseErrorKey())) reportError(parseErrorKey(), catcher.getError());
    return DocumentPtr();
}

}  // namespace xml
}  // namespace kesh
