#include "editor/upload/upload_history.h"

#include "common/history_folder.h"
#include "common/shortcut_file.h"
#include "editor/upload/upload_response_rules.h"

bool WriteUploadHistoryShortcut(const kesh::String& home, const kesh::String& address, const kesh::Time& day)
{
    if (!IsOpenableAddress(address))
        return false;
    const kesh::String folder = HistorySubfolderUnder(home, "Upload");
    const kesh::String name =
        FirstFreeDatedName("norpa", day, [&](const kesh::String& candidate) { return ShortcutFile(candidate, folder).Exists(); });
    return ShortcutFile(name, folder).Create(address, "", "", "");
}
