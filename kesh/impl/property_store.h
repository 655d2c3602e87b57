#pragma once

// The stores behind getProperty: the registry of predefined properties and
// the user-set store, each built on first use.

#include "kesh/base.h"
#include "kesh/string.h"
#include "kesh/sync.h"

#include <boost/shared_ptr.hpp>

#include <map>

namespace kesh {
namespace sys {
namespace __ {

// One predefined property.
class IPredefinedProperty : public IBase {
public:
    virtual String get() = 0;
};

// Orders names with A-Z and a-z folded together.
struct NoCaseLess {
    bool operator()(const String& a, const String& b) const;
};

// The ten predefined properties; read-only once built.
class PropertyRegistry {
public:
    PropertyRegistry();
    boost::shared_ptr<IPredefinedProperty> find(const String& name) const;

private:
    typedef std::map<String, boost::shared_ptr<IPredefinedProperty>, NoCaseLess> Map;
    void add(const String& name, const boost::shared_ptr<IPredefinedProperty>& property);
    Map properties_;
};

// Properties set at run time. Nothing adds to it yet; lookups of names that
// are not predefined still go through it.
class UserProperties {
public:
    bool find(const String& name, String* value);

private:
    typedef std::map<String, String, NoCaseLess> Map;
    Map values_;
    Mutex mutex_;
};

// A folder or file text as the normalised path text the properties give.
String pathText(const String& text);

// The program's start time as "app.uptime" shows it.
String startTimeText();

}  // namespace __
}  // namespace sys
}  // namespace kesh
