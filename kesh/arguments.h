#pragma once

#include "kesh/base.h"
#include "kesh/string.h"

#include <boost/shared_ptr.hpp>

namespace kesh {
namespace app {

// A command line parsed under an option spec.
//
// An option spec is a run of entries, each: an option letter (any byte but "-"),
// then optionally "-" and a long name ending at ".", ":", ";" or the end
// (a "." is consumed), then optionally ":" (a value is required) or ";" (a
// value is optional); without either the entry is a flag. "x:y:" declares
// -x and -y with values; "v-verbose.o-output:" the flag -v/--verbose and
// -o/--output with a value.
//
// Words are split at white space; double or single quotes keep white space
// and backslashes, and outside quotes a backslash protects the next byte.
// "--" ends the options; "-" alone and every word not beginning with "-" is
// positional, the program's own path being the first. A value follows its
// letter in the same word or is the next word; a long name always takes the
// next word. Repeated values are joined with a line feed. Undeclared options
// are ignored.
class IArguments : public IBase {
public:
    // The positional words in command-line order.
    virtual StringArray getArguments() = 0;
    // How often the option was given; 0 for one the option spec does not declare.
    virtual int count(const String& longName) = 0;
    virtual int count(char letter) = 0;
    // The option's value once it was given at least once (possibly empty),
    // else defaultValue.
    virtual String getValue(const String& longName, const String& defaultValue) = 0;
    virtual String getValue(char letter, const String& defaultValue) = 0;
    virtual bool has(const String& longName) = 0;
    virtual bool has(char letter) = 0;
};

// The process's own command line (the property "app.command") under spec.
boost::shared_ptr<IArguments> getArguments(const String& spec);

// A given command-line text under spec.
boost::shared_ptr<IArguments> parseArguments(const String& commandLine, const String& spec);

}  // namespace app
}  // namespace kesh
