#include "common/shortcut_file.h"

#include "kesh/failure_log.h"
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

// Logs a COM call on the shortcut at path that failed with result; false.
bool Failed(const char* call, HRESULT result, const kesh::String& path)
{
    kesh::logError(call, static_cast<unsigned long>(result), path.c_str());
    return false;
}

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
        HRESULT result = CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_ALL, IID_IUniformResourceLocatorW,
                                          ReceiveInterface(locator));
        if (FAILED(result))
            return Failed("CoCreateInstance(InternetShortcut)", result, path);
        result = locator.get()->QueryInterface(IID_IPersistFile, ReceiveInterface(file));
        if (FAILED(result))
            return Failed("QueryInterface(IPersistFile)", result, path);
        // Some shells' Internet shortcuts have no link interface; the
        // address alone still makes a whole shortcut.
        result = locator.get()->QueryInterface(IID_IShellLinkW, ReceiveInterface(link));
        if (FAILED(result) && (!description.isEmpty() || !icon.isEmpty()))
            return Failed("QueryInterface(IShellLinkW)", result, path);
        locator.get()->SetURL(Wide(target).c_str(), 0);
    } else {
        HRESULT result =
            CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_IShellLinkW, ReceiveInterface(link));
        if (FAILED(result))
            return Failed("CoCreateInstance(ShellLink)", result, path);
        result = link.get()->QueryInterface(IID_IPersistFile, ReceiveInterface(file));
        if (FAILED(result))
            return Failed("QueryInterface(IPersistFile)", result, path);
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
    const HRESULT saved = file.get()->Save(Wide(path).c_str(), TRUE);
    if (FAILED(saved))
        return Failed("IPersistFile::Save", saved, path);
    return true;
}
