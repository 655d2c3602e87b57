#include "common/history_folder.h"

#include "kesh/file.h"
#include "kesh/path.h"
#include "kesh/property.h"

namespace {

// The folder name below parent (normalised), made with every missing folder
// above it when it does not exist (a failure leaves its line); the path
// either way.
kesh::String FolderBelow(const kesh::String& parent, const char* name)
{
    kesh::fs::Path path(parent);
    path.child(name);
    const kesh::String text = path.toString();
    if (!kesh::fs::exists(text))
        kesh::fs::createDirectory(text, true);
    return text;
}

}  // namespace

kesh::String HistoryRootUnder(const kesh::String& home)
{
    return FolderBelow(home, kHistoryFolderName);
}

kesh::String GetHistoryRoot()
{
    return HistoryRootUnder(kesh::sys::getProperty("user.home", ""));
}

kesh::String HistorySubfolderUnder(const kesh::String& home, const char* name)
{
    return FolderBelow(HistoryRootUnder(home), name);
}

kesh::String FirstFreeDatedName(const char* prefix, const kesh::Time& day,
                                const std::function<bool(const kesh::String&)>& taken)
{
    const kesh::String date = day.format("yyMMdd");
    for (int n = 1;; ++n) {
        const kesh::String name = kesh::String::format("%s%s-%03d", prefix, date.c_str(), n);
        if (!taken(name))
            return name;
    }
}
