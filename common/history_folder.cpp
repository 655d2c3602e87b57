#include "common/history_folder.h"

#include "kesh/file.h"
#include "kesh/path.h"
#include "kesh/property.h"
#include "kesh/time.h"
#include "ui/shell_seams.h"

kesh::String HistoryRootUnder(const kesh::String& home)
{
    kesh::fs::Path path(home);
    path.child(kHistoryFolderName);
    const kesh::String text = path.toString();
    if (!kesh::fs::exists(text))
        kesh::fs::createDirectory(text, true);
    return text;
}

kesh::String GetHistoryRoot()
{
    return HistoryRootUnder(kesh::sys::getProperty("user.home", ""));
}

kesh::String GetHistoryFolder(const char* name)
{
    kesh::fs::Path path(GetHistoryRoot());
    path.child(name);
    const kesh::String text = path.toString();
    if (!kesh::fs::exists(text))
        kesh::fs::createDirectory(text, true);
    return text;
}

kesh::String FirstFreeHistoryName(const kesh::String& prefix, const kesh::String& date,
                                  const kesh::String& extension, const NameTaken& taken)
{
    for (unsigned n = 1;; ++n) {
        const kesh::String name = prefix + date + kesh::String::format("-%03u", n) + extension;
        if (!taken(name))
            return name;
    }
}

kesh::String FirstFreeHistoryPath(const kesh::String& folder, const kesh::String& prefix,
                                  const kesh::String& extension)
{
    const kesh::fs::Path base(folder);
    const kesh::String date = kesh::Time::now().format("yyMMdd");
    const kesh::String name = FirstFreeHistoryName(
        prefix, date, extension, [&base](const kesh::String& candidate) { return kesh::fs::exists((base / candidate).toString()); });
    return (base / name).toString();
}

std::wstring ExplorerParametersFor(const kesh::String& folder)
{
    return L"/n,\"" + std::wstring(folder.toWide().get()) + L"\"";
}

void OpenFolderInExplorer(const kesh::String& folder)
{
    const std::wstring parameters = ExplorerParametersFor(folder);
    ui::Shell().ShellExecute(nullptr, L"open", L"Explorer.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
}
