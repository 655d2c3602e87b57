#include "common/shortcut_file.h"

#include "kesh/file.h"
#include "kesh/handles.h"
#include "kesh/path.h"
#include "kesh/property.h"

#include <intshcut.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

namespace {

using kesh::win::ComPtr;
using kesh::win::ReceiveInterface;

// The shell's class and interface ids, spelled out so that no GUID library
// has to be linked.
const CLSID kClsidInternetShortcut = {0xFBF23B40, 0xE3F0, 0x101B, {0x84, 0x88, 0x00, 0xAA, 0x00, 0x3E, 0x56, 0xF8}};
const IID kIidUniformResourceLocatorW = {0xCABB0DA0, 0xDA57, 0x11CF, {0x99, 0x74, 0x00, 0x20, 0xAF, 0xD7, 0x97, 0x62}};
const CLSID kClsidShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidShellLinkW = {0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// In-process server and handler, local and remote server.
constexpr DWORD kClassContext = 0x17;

std::wstring Wide(const kesh::String& text) { return text.toWide().get(); }

bool Succeeded(HRESULT result) { return result >= 0; }

}  // namespace

kesh::String ShortcutFile::GetPath() const
{
    if (folder.isEmpty())
        return kesh::String();
    kesh::fs::Path path(folder);
    path.child(name + (internet ? ".url" : ".lnk"));
    return path.toString();
}

bool ShortcutFile::Exists() const
{
    const kesh::String path = GetPath();
    return !path.isEmpty() && kesh::fs::exists(path);
}

bool ShortcutFile::Remove() const
{
    const kesh::String path = GetPath();
    return !path.isEmpty() && kesh::fs::remove(path);
}

bool ShortcutFile::Create(const kesh::String& target, const kesh::String& arguments,
                          const kesh::String& description, const kesh::String& icon) const
{
    const kesh::String path = GetPath();
    if (path.isEmpty())
        return false;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (internet) {
        ComPtr<IUniformResourceLocatorW> locator;
        if (!Succeeded(CoCreateInstance(kClsidInternetShortcut, nullptr, kClassContext, kIidUniformResourceLocatorW,
                                        ReceiveInterface(locator))) ||
            !Succeeded(locator.get()->QueryInterface(kIidPersistFile, ReceiveInterface(file))))
            return false;
        // Some shells' Internet shortcuts have no link interface; the
        // address alone still makes a whole shortcut.
        if (!Succeeded(locator.get()->QueryInterface(kIidShellLinkW, ReceiveInterface(link))) &&
            (!description.isEmpty() || !icon.isEmpty()))
            return false;
        locator.get()->SetURL(Wide(target).c_str(), 0);
    } else {
        if (!Succeeded(CoCreateInstance(kClsidShellLink, nullptr, kClassContext, kIidShellLinkW,
                                        ReceiveInterface(link))) ||
            !Succeeded(link.get()->QueryInterface(kIidPersistFile, ReceiveInterface(file))))
            return false;
        const kesh::String program =
            target.compare("_this", true) == 0 ? kesh::sys::getProperty("app.path", "") : target;
        link.get()->SetPath(Wide(program).c_str());
        link.get()->SetWorkingDirectory(Wide(kesh::fs::Path(program).parent().toString()).c_str());
        link.get()->SetArguments(Wide(arguments).c_str());
    }
    if (link.isValid()) {
        link.get()->SetDescription(Wide(description).c_str());
        if (!icon.isEmpty())
            link.get()->SetIconLocation(Wide(icon).c_str(), 1);
    }
    return Succeeded(file.get()->Save(Wide(path).c_str(), TRUE));
}
