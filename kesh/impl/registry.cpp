#include "kesh/registry.h"

#include "kesh/failure_log.h"
#include "kesh/handles.h"

#include <boost/make_shared.hpp>

#include <windows.h>

#include <shlwapi.h>

#include <vector>

namespace kesh {
namespace app {
namespace impl {

namespace {

struct Root {
    const char* prefix;
    HKEY key;
};

// Searched in this order; the first prefix the path starts with wins.
const Root kRoots[] = {
    {"HKEY_CLASSES_ROOT\\", HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_CONFIG\\", HKEY_CURRENT_CONFIG},
    {"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE\\", HKEY_LOCAL_MACHINE},
    {"HKEY_USERS\\", HKEY_USERS},
    {"HKEY_PERFORMANCE_DATA\\", HKEY_PERFORMANCE_DATA},
    {"HKEY_PERFORMANCE_TEXT\\", HKEY_PERFORMANCE_TEXT},
    {"HKEY_PERFORMANCE_NLSTEXT\\", HKEY_PERFORMANCE_NLSTEXT},
    {"HKEY_DYN_DATA\\", HKEY_DYN_DATA},
};
const Root kDefaultRoot = {"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER};

const Root& findRoot(const String& path)
{
    for (const Root& root : kRoots)
        if (path.startsWith(root.prefix, true)) return root;
    return kDefaultRoot;
}

const DWORD kNameUnits = 260;

// Bytes of UTF-16 text as stored: up to the first NUL or the end of the
// data, an odd last byte ignored.
String textFromData(const std::vector<BYTE>& data, DWORD size)
{
    std::vector<wchar_t> units(size / sizeof(wchar_t) + 1, 0);
    if (size >= sizeof(wchar_t)) memcpy(units.data(), data.data(), size / sizeof(wchar_t) * sizeof(wchar_t));
    return String(units.data(), static_cast<unsigned>(size / sizeof(wchar_t)));
}

}  // namespace

class RegistryKey : public IRegistryKey {
public:
    RegistryKey(const String& path, bool readOnly) : readOnly_(readOnly)
    {
        const Root& root = findRoot(path);
        String subPath;
        if (path.startsWith(root.prefix, true)) {
            path_ = path;
            subPath = path.substr(static_cast<unsigned>(strlen(root.prefix)));
        } else {
            path_ = root.prefix + path;
            subPath = path;
        }
        const boost::shared_array<wchar_t> wide = subPath.toWide();
        openStatus_ = RegOpenKeyExW(root.key, wide.get(), 0, readOnly ? KEY_READ : KEY_ALL_ACCESS, key_.Receive());
        if (openStatus_ == ERROR_SUCCESS)
            return;
        key_.Detach();  // a failed call may leave anything in the slot
        if (readOnly) return;
        wchar_t noClass[] = L"";
        openStatus_ = RegCreateKeyExW(root.key, wide.get(), 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                      nullptr, key_.Receive(), nullptr);
        if (openStatus_ != ERROR_SUCCESS)
            key_.Detach();
    }

    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    String getPath() override { return path_; }
    bool isReadOnly() override { return readOnly_; }

    bool enumKey(unsigned index, String* name) override
    {
        if (!key_.isValid()) return false;
        wchar_t buffer[kNameUnits];
        DWORD units = kNameUnits;
        if (RegEnumKeyExW(key_, index, buffer, &units, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return false;
        *name = String(buffer, units);
        return true;
    }

    bool enumValue(unsigned index, String* name) override
    {
        if (!key_.isValid()) return false;
        wchar_t buffer[kNameUnits];
        DWORD units = kNameUnits;
        if (RegEnumValueW(key_, index, buffer, &units, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return false;
        *name = String(buffer, units);
        return true;
    }

    bool deleteKey(const String& name) override
    {
        if (!writable()) return refused();
        return succeeded(SHDeleteKeyW(key_, name.toWide().get()));
    }

    bool deleteValue(const String& name) override
    {
        if (!writable()) return refused();
        return succeeded(RegDeleteValueW(key_, name.toWide().get()));
    }

    String getValue(const String& name, const String& defaultValue) override
    {
        if (!key_.isValid()) return defaultValue;
        const boost::shared_array<wchar_t> wideName = name.toWide();
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(key_, wideName.get(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return defaultValue;
        switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
        case REG_MULTI_SZ: {
            // One spare byte keeps the buffer non-empty for a value of size 0.
            std::vector<BYTE> data(size + 1, 0);
            if (RegQueryValueExW(key_, wideName.get(), nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS)
                return defaultValue;
            return textFromData(data, size);
        }
        case REG_DWORD: {
            // A DWORD that is not 4 bytes long was written by hand: not a
            // number this class can vouch for.
            if (size != sizeof(DWORD)) return defaultValue;
            DWORD number = 0;
            if (RegQueryValueExW(key_, wideName.get(), nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size) !=
                    ERROR_SUCCESS ||
                size != sizeof(DWORD))
                return defaultValue;
            return String(static_cast<unsigned>(number), 10);
        }
        default: return defaultValue;
        }
    }

    bool setValue(const String& name, int value) override
    {
        if (!writable()) return logged(name, refused());
        const DWORD number = static_cast<DWORD>(value);
        return logged(name, succeeded(RegSetValueExW(key_, name.toWide().get(), 0, REG_DWORD,
                                                     reinterpret_cast<const BYTE*>(&number), sizeof number)));
    }

    bool setValue(const String& name, const String& value) override
    {
        if (!writable()) return logged(name, refused());
        const boost::shared_array<wchar_t> wide = value.toWide();
        const DWORD bytes = static_cast<DWORD>((wcslen(wide.get()) + 1) * sizeof(wchar_t));
        return logged(name, succeeded(RegSetValueExW(key_, name.toWide().get(), 0, REG_SZ,
                                                     reinterpret_cast<const BYTE*>(wide.get()), bytes)));
    }

private:
    bool writable() const { return key_.isValid() && !readOnly_; }

    // A setting that could not be written leaves its line, with the code
    // of the failure (the last error, as the caller still sees it); a
    // read-only key refusing a write is the caller's mistake, not the
    // system's failure.
    bool logged(const String& name, bool written) const
    {
        if (!written && !readOnly_) logLastError("IRegistryKey::setValue", name.c_str());
        return written;
    }

    // The registry calls return their code without setting the last error:
    // it is set here, so that a caller can log why a write failed.
    static bool succeeded(LONG status)
    {
        if (status != ERROR_SUCCESS) SetLastError(static_cast<DWORD>(status));
        return status == ERROR_SUCCESS;
    }

    // A write that never reaches the system: a writable key that could not
    // be opened or created gives that failure's code; a read-only key leaves
    // the last error alone.
    bool refused() const
    {
        if (!readOnly_) SetLastError(static_cast<DWORD>(openStatus_));
        return false;
    }

    String path_;
    bool readOnly_;
    LONG openStatus_ = ERROR_SUCCESS;
    win::RegistryKeyHandle key_;
};

}  // namespace impl

boost::shared_ptr<IRegistryKey> openRegistryKey(const String& path, bool readOnly)
{
    return boost::make_shared<impl::RegistryKey>(path, readOnly);
}

}  // namespace app
}  // namespace kesh
