#include "kesh/impl/xml_nodes.h"
#include "kesh/impl/xml_parser_text.h"

#include "kesh/error.h"

#include <boost/make_shared.hpp>

#include <expat.h>

#include <memory>
#include <vector>

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
    void stop(XML_Error reason);

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
    // The elements whose content is being read, the current one last. The
    // tree under root_ owns them.
    std::vector<ElementNode*> open_;
    PendingText pendingText_;
    size_t pieceLength_ = 0;
    String version_;
    String encoding_;
    int standalone_ = -1;
    RepeatedStrings strings_;
    // Shared by every element read without attributes or children.
    const AttributeArray noAttributes_;
    const NodeArray noChildren_;
    // Set when a handler has stopped expat: call-backs that expat still
    // delivers afterwards are ignored, and the text fails for that reason.
    bool stopped_ = false;
    XML_Error stopReason_ = XML_ERROR_NONE;
};

namespace {

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
    pieceLength_ = length;
    if (!feed(data, length, isFinal)) {
        fail(stopped_ ? stopReason_ : XML_GetErrorCode(expat_.get()));
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
    open_.clear();
    root_.reset();
    pendingText_.release();
    version_ = String();
    encoding_ = String();
    standalone_ = -1;
    strings_.clear();
    stopped_ = false;
    stopReason_ = XML_ERROR_NONE;
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
    if (pendingText_.isEmpty()) return;
    String text;
    if (pendingText_.take(strings_, text) && !open_.empty()) open_.back()->appendData(std::move(text));
}

// Ends the text from inside a handler: XML_Parse then fails, and the
// failure is reported with reason.
void Parser::stop(XML_Error reason)
{
    stopped_ = true;
    stopReason_ = reason;
    XML_StopParser(expat_.get(), XML_FALSE);
}

void XMLCALL Parser::onStart(void* user, const XML_Char* name, const XML_Char** attributes)
{
    Parser* p = self(user);
    if (p->stopped_) return;
    // The tree is freed, cloned and written recursively: a text nested
    // deeper than the limit is refused before it can exhaust the stack.
    if (p->open_.size() >= kMaxDepth) {
        p->stop(XML_ERROR_ABORTED);
        return;
    }
    p->flushText();
    unsigned count = 0;
    while (attributes[2 * count]) ++count;
    AttributeArray list = p->noAttributes_;
    if (count) {
        list.reserve(count);
        for (unsigned i = 0; i < count; ++i)
            list.append(StringPair(p->strings_.get(attributes[2 * i]), p->strings_.get(attributes[2 * i + 1])));
    }
    String elementName = p->strings_.get(name);
    if (p->open_.empty()) {
        boost::shared_ptr<ElementNode> root =
            boost::make_shared<ElementNode>(std::move(elementName), std::move(list), p->noChildren_);
        p->open_.push_back(root.get());
        p->root_ = std::move(root);
    } else {
        p->open_.push_back(p->open_.back()->appendElement(std::move(elementName), std::move(list), p->noChildren_));
    }
}

void XMLCALL Parser::onEnd(void* user, const XML_Char*)
{
    Parser* p = self(user);
    if (p->stopped_) return;
    p->flushText();
    if (!p->open_.empty()) p->open_.pop_back();
}

void XMLCALL Parser::onText(void* user, const XML_Char* text, int length)
{
    Parser* p = self(user);
    if (p->stopped_ || length <= 0) return;
    if (!p->pendingText_.append(text, static_cast<size_t>(length), p->pieceLength_)) p->stop(XML_ERROR_NO_MEMORY);
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
