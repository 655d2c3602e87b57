#include "kesh/impl/xml_nodes.h"

#include <boost/make_shared.hpp>

namespace kesh {
namespace xml {

DocumentPtr createDocument(const String& rootName, const String& version, const String& encoding,
                           const String& standalone)
{
    DocumentPtr document = boost::make_shared<impl::Document>();
    if (!rootName.isEmpty()) document->setRoot(createElement(rootName));
    document->setVersion(version);
    document->setEncoding(encoding);
    document->setStandalone(standalone);
    return document;
}

namespace impl {

String Document::getVersion()
{
    return version_;
}

void Document::setVersion(const String& version)
{
    version_ = version;
}

String Document::getEncoding()
{
    return encoding_;
}

void Document::setEncoding(const String& encoding)
{
    encoding_ = encoding;
}

String Document::getStandalone()
{
    return standalone_;
}

void Document::setStandalone(const String& standalone)
{
    standalone_ = standalone;
}

ElementPtr Document::getRoot()
{
    return root_;
}

void Document::setRoot(const ElementPtr& root)
{
    root_ = root;
}

}  // namespace impl
}  // namespace xml
}  // namespace kesh
