#include "kesh/property.h"

#include "kesh/base.h"
#include "kesh/impl/globals.h"
#include "kesh/impl/os_names.h"
#include "kesh/impl/property_store.h"
#include "kesh/impl/system_texts.h"
#include "kesh/path.h"
#include "kesh/time.h"

#include <boost/make_shared.hpp>

#include <windows.h>

#include <shlobj.h>

#include <cstdlib>
#include <vector>

namespace kesh {
namespace sys {
namespace __ {

namespace {

// The system's version record, zeroed first so that a failing call reads as
// platform 0 with version 0.0.
OSVERSIONINFOW versionInfo()
{
    OSVERSIONINFOW info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&info);
#pragma GCC diagnostic pop
    return info;
}

// A property whose value is fixed when it is made.
class FixedProperty : public IPredefinedProperty {
public:
    explicit FixedProperty(const String& value) : value_(value) {}
    String get() override { return value_; }

private:
    String value_;
};

}  // namespace

class PPVersion : public FixedProperty {
public:
    PPVersion() : FixedProperty("1") {}
};

class PPUptime : public IPredefinedProperty {
public:
    String get() override { return kesh::__::startTime; }
};

class PPAppPath : public FixedProperty {
public:
    PPAppPath() : FixedProperty(pathText(moduleFileName())) {}
};

class PPAppCmd : public FixedProperty {
public:
    PPAppCmd() : FixedProperty(String(GetCommandLineW())) {}
};

class PPOsName : public FixedProperty {
public:
    PPOsName() : FixedProperty(fromSystem()) {}

private:
    static String fromSystem()
    {
        const OSVERSIONINFOW info = versionInfo();
        return osName(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                      String(info.szCSDVersion, sizeof info.szCSDVersion / sizeof info.szCSDVersion[0]));
    }
};

class PPOsArch : public FixedProperty {
public:
    PPOsArch() : FixedProperty(fromSystem()) {}

private:
    static String fromSystem()
    {
        SYSTEM_INFO info;
        ZeroMemory(&info, sizeof info);
        GetSystemInfo(&info);
        return osArch(info.wProcessorArchitecture);
    }
};

class PPOsVersion : public FixedProperty {
public:
    PPOsVersion() : FixedProperty(fromSystem()) {}

private:
    static String fromSystem()
    {
        const OSVERSIONINFOW info = versionInfo();
        return osVersion(info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber);
    }
};

class PPUserName : public IPredefinedProperty {
public:
    String get() override { return userName(); }
};

class PPUserHome : public IPredefinedProperty {
public:
    String get() override
    {
        wchar_t buffer[MAX_PATH] = {0};
        if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PERSONAL, FALSE)) return String();
        return pathText(String(buffer, MAX_PATH));
    }
};

class PPUserTemp : public IPredefinedProperty {
public:
    String get() override
    {
        const String text = tempPath();
        return text.isEmpty() ? text : pathText(text);
    }
};

String moduleFileName(ModuleFileNameCall call)
{
    std::vector<wchar_t> buffer(256);
    for (;;) {
        const DWORD length = call(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) return String(buffer.data(), length);
        // No Windows path is longer than 32767 units.
        if (buffer.size() > 32768) return String();
        buffer.resize(buffer.size() * 2);
    }
}

String userName(UserNameCall call)
{
    std::vector<wchar_t> buffer(100, 0);
    DWORD size = static_cast<DWORD>(buffer.size());
    if (call(buffer.data(), &size)) return String(buffer.data(), static_cast<unsigned>(buffer.size()));
    // size now tells what the name needs. Whatever a failing call left in
    // the buffer is never taken for the name.
    if (size <= buffer.size()) return String();
    buffer.assign(size, 0);
    if (!call(buffer.data(), &size)) return String();
    return String(buffer.data(), static_cast<unsigned>(buffer.size()));
}

String tempPath(TempPathCall call)
{
    const DWORD needed = call(0, nullptr);
    if (needed == 0) return String();
    std::vector<wchar_t> buffer(needed + 1, 0);
    const DWORD length = call(static_cast<DWORD>(buffer.size()), buffer.data());
    // 0 is a failure, a length beyond the buffer a folder that grew in
    // between: neither filled the buffer.
    if (length == 0 || length >= buffer.size()) return String();
    return String(buffer.data(), length);
}

String pathText(const String& text)
{
    return fs::Path(text).toString();
}

String startTimeText()
{
    return Time::now().formatStyle(0, -1);
}

bool NoCaseLess::operator()(const String& a, const String& b) const
{
    return a.compare(b.c_str(), true) < 0;
}

PropertyRegistry::PropertyRegistry()
{
    add("kesh.version", boost::make_shared<PPVersion>());
    add("app.uptime", boost::make_shared<PPUptime>());
    add("app.path", boost::make_shared<PPAppPath>());
    add("app.command", boost::make_shared<PPAppCmd>());
    add("os.name", boost::make_shared<PPOsName>());
    add("os.arch", boost::make_shared<PPOsArch>());
    add("os.version", boost::make_shared<PPOsVersion>());
    add("user.name", boost::make_shared<PPUserName>());
    add("user.home", boost::make_shared<PPUserHome>());
    add("user.temp", boost::make_shared<PPUserTemp>());
}

void PropertyRegistry::add(const String& name, const boost::shared_ptr<IPredefinedProperty>& property)
{
    properties_[name] = property;
}

boost::shared_ptr<IPredefinedProperty> PropertyRegistry::find(const String& name) const
{
    const Map::const_iterator it = properties_.find(name);
    return it == properties_.end() ? boost::shared_ptr<IPredefinedProperty>() : it->second;
}

bool UserProperties::find(const String& name, String* value)
{
    ScopedLock lock(mutex_);
    const Map::const_iterator it = values_.find(name);
    if (it == values_.end()) return false;
    *value = it->second;
    return true;
}

namespace {

// Builds the instance behind slot on first use, under its start-up mutex,
// and has it destroyed at process exit.
template <class T>
T* instance(std::atomic<T*>& slot, const Mutex& startup, void (*destroyAtExit)())
{
    T* existing = slot.load(std::memory_order_acquire);
    if (existing) return existing;
    ScopedLock lock(startup);
    existing = slot.load(std::memory_order_relaxed);
    if (existing) return existing;
    T* made = new T;
    std::atexit(destroyAtExit);
    slot.store(made, std::memory_order_release);
    return made;
}

template <class T>
void destroy(std::atomic<T*>& slot)
{
    delete slot.exchange(nullptr);
}

void destroyRegistry()
{
    destroy(kesh::__::propertyRegistry);
}

void destroyUserProperties()
{
    destroy(kesh::__::userProperties);
}

}  // namespace

}  // namespace __

String getProperty(const String& name, const String& defaultValue)
{
    const __::PropertyRegistry* registry =
        __::instance(kesh::__::propertyRegistry, kesh::__::propertyRegistryMutex, &__::destroyRegistry);
    if (boost::shared_ptr<__::IPredefinedProperty> property = registry->find(name)) return property->get();
    __::UserProperties* user =
        __::instance(kesh::__::userProperties, kesh::__::userPropertyMutex, &__::destroyUserProperties);
    String value;
    return user->find(name, &value) ? value : defaultValue;
}

}  // namespace sys
}  // namespace kesh
