#include "toolbar/core/toolbar_settings.h"

#include "common/shortcut_file.h"
#include "kesh/handles.h"
#include "kesh/registry.h"

#include <shlobj.h>

namespace {

constexpr const char* kAutoRun = "autoRun";
constexpr const char* kHideWhenCapture = "hideWhenCapture";
constexpr const char* kCaptureHotkey = "captureHotkey";
constexpr const char* kXPos = "xPos";
constexpr const char* kYPos = "yPos";

}  // namespace

void ToolbarSettings::Load()
{
    const auto key = kesh::app::openRegistryKey(place_.keyPath, true);
    autoRun = key->getValue(kAutoRun, "1").toLong(10) != 0;
    hideWhenCapture = key->getValue(kHideWhenCapture, "0").toLong(10) != 0;
    hotKey = static_cast<DWORD>(key->getValue(kCaptureHotkey, kesh::String(unsigned(kDefaultHotKey), 10)).toULong(10));
    xPos = static_cast<int>(key->getValue(kXPos, kesh::String(kDefaultPosition, 10)).toLong(10));
    yPos = static_cast<int>(key->getValue(kYPos, kesh::String(kDefaultPosition, 10)).toLong(10));
    SyncAutoRunShortcut(*this);
}

void ToolbarSettings::Save() const
{
    const auto key = kesh::app::openRegistryKey(place_.keyPath, false);
    key->setValue(kAutoRun, autoRun ? 1 : 0);
    key->setValue(kHideWhenCapture, hideWhenCapture ? 1 : 0);
    key->setValue(kCaptureHotkey, static_cast<int>(hotKey));
    key->setValue(kXPos, kesh::String(xPos, 10));
    key->setValue(kYPos, kesh::String(yPos, 10));
    SyncAutoRunShortcut(*this);
}

void SyncAutoRunShortcut(const ToolbarSettings& settings)
{
    const ShortcutFile shortcut("Norpa", settings.place().startupFolder, false);
    // Written again every time: a shortcut the user deleted by hand comes
    // back while start at login is on.
    if (settings.autoRun)
        shortcut.Create("_this", "", "Norpa工具条", "");
    else if (shortcut.Exists())
        shortcut.Remove();
}

kesh::String GetSpecialFolderPath(int csidl)
{
    kesh::win::CoTaskMemory<ITEMIDLIST> items;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, items.Receive())) || !items.isValid())
        return kesh::String();
    wchar_t path[MAX_PATH] = {};
    return SHGetPathFromIDListW(items.get(), path) ? kesh::String(path) : kesh::String();
}
