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
using kesh::Wide;

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
        if (FAILED(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_ALL, IID_IUniformResourceLocatorW,
                                    ReceiveInterface(locator))) ||
            FAILED(locator.get()->QueryInterface(IID_IPersistFile, ReceiveInterface(file))))
            return false;
        // Some shells' Internet shortcuts have no link interface; the
        // address alone still makes a whole shortcut.
        if (FAILED(locator.get()->QueryInterface(IID_IShellLinkW, ReceiveInterface(link))) &&
            (!description.isEmpty() || !icon.isEmpty()))
            return false;
        locator.get()->SetURL(Wide(target).c_str(), 0);
    } else {
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_IShellLinkW, ReceiveInterface(link))) ||
            FAILED(link.get()->QueryInterface(IID_IPersistFile, ReceiveInterface(file))))
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
    return SUCCEEDED(file.get()->Save(Wide(path).c_str(), TRUE));
}
