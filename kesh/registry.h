#pragma once

#include "kesh/base.h"
#include "kesh/string.h"

#include <boost/shared_ptr.hpp>

namespace kesh {
namespace app {

// One open registry key. Failures show as false or as the caller's default;
// nothing is reported to error catchers. A write or deletion that fails on
// a writable key leaves the system's error code as the calling thread's
// last error (for a key that could not be opened or created, the code of
// that failure); a read-only key refuses them without touching it. A value
// that a writable key fails to write also leaves its line on the log
// (kesh/failure_log.h), so that no caller needs to.
// An empty name addresses the key's default value. The system key is closed
// with the last handle.
class IRegistryKey : public IBase {
public:
    // The full path with its root word ("HKEY_CURRENT_USER\...").
    virtual String getPath() = 0;
    virtual bool isReadOnly() = 0;
    // The name of the index-th subkey or value; false past the last one or
    // for a name of 260 UTF-16 units or more, leaving name unchanged.
    virtual bool enumKey(unsigned index, String* name) = 0;
    virtual bool enumValue(unsigned index, String* name) = 0;
    // Removes the subkey with everything below it.
    virtual bool deleteKey(const String& name) = 0;
    virtual bool deleteValue(const String& name) = 0;
    // Texts up to their first NUL (environment references unexpanded, the
    // first of a multi-text); a DWORD as unsigned decimal text; any other
    // type, or a value that cannot be read, gives defaultValue.
    virtual String getValue(const String& name, const String& defaultValue) = 0;
    // Writes a REG_DWORD holding the bits of value.
    virtual bool setValue(const String& name, int value) = 0;
    // Writes a NUL-terminated REG_SZ.
    virtual bool setValue(const String& name, const String& value) = 0;
};

// Opens the key at path: it begins with a root word and a backslash
// ("HKEY_LOCAL_MACHINE\", any letter case) or is taken to lie under
// HKEY_CURRENT_USER. A writable key is created, with every missing key on
// its path, when it does not exist; a read-only one never is. Always gives a
// key object; one that could be neither opened nor created fails every
// operation. Write operations on a read-only key fail without reaching the
// system.
boost::shared_ptr<IRegistryKey> openRegistryKey(const String& path, bool readOnly);

}  // namespace app
}  // namespace kesh
