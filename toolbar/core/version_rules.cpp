#include "toolbar/core/version_rules.h"

#include "common/openable_address.h"
#include "kesh/xml.h"

const wchar_t* const kWebSiteHost = L"www.norpasoft.com";

std::wstring VersionDocumentUrl() { return std::wstring(L"http://") + kWebSiteHost + L"/norpa.xml"; }

uint64_t PackedProductVersion(const VS_FIXEDFILEINFO& info)
{
    return static_cast<uint64_t>(info.dwProductVersionMS) << 32 | info.dwProductVersionLS;
}

namespace {

constexpr unsigned long kLargestPart = 0xFFFF;

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// One part's leading digits, by hand: the number may be far too long for
// any integer type, and then it is simply too large. A part without them
// (empty, a letter, a minus sign) counts as 0.
bool ParsePart(const kesh::String& part, unsigned long& value)
{
    const char* c = part.c_str();
    while (IsSpace(*c))
        ++c;
    if (*c == '+')
        ++c;
    value = 0;
    for (; *c >= '0' && *c <= '9'; ++c) {
        value = value * 10 + static_cast<unsigned long>(*c - '0');
        if (value > kLargestPart)
            return false;
    }
    return true;
}

}  // namespace

bool ParseVersionValue(const kesh::String& text, uint64_t& value)
{
    const kesh::StringArray parts = text.split('.', true);
    if (parts.size() != 4)
        return false;
    uint64_t packed = 0;
    for (unsigned i = 0; i < parts.size(); ++i) {
        unsigned long part = 0;
        if (!ParsePart(parts.at(i), part))
            return false;
        packed = packed << 16 | part;
    }
    value = packed;
    return true;
}

VersionReply ReadVersionReply(const kesh::String& body, uint64_t own)
{
    VersionReply reply;
    const kesh::xml::DocumentPtr document = kesh::xml::parse(body);
    if (!document || !document->getRoot())
        return reply;
    reply.recognised = true;
    const kesh::xml::ElementArray current = document->getRoot()->select("current", true);
    if (current.size() == 0)
        return reply;
    const kesh::xml::ElementPtr element = current.at(0);
    uint64_t server = 0;
    reply.newer = ParseVersionValue(element->getAttribute("version", "", true), server) && server > own;
    reply.downloadAddress = element->getText();
    reply.downloadAddress.trim();
    // A newer version whose address cannot be opened leaves the user
    // nothing to do: the reply is refused rather than offered.
    if (reply.newer && !IsOpenableAddress(reply.downloadAddress))
        reply.recognised = false;
    return reply;
}
