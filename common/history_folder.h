#pragma once

#include "kesh/string.h"

#include <string>

// The root of the history folder tree that both programs share: captures
// go to "Capture" below it, upload shortcuts to "Upload".
constexpr const char* kHistoryFolderName = "My Norpa/History";

// The history root under home (normalised, with backslashes), created with
// every missing parent when it does not exist. A folder that cannot be made
// is not reported: the path is returned all the same.
kesh::String HistoryRootUnder(const kesh::String& home);

// HistoryRootUnder the property "user.home".
kesh::String GetHistoryRoot();

// What Explorer is given to open folder in a new window: /n,"folder".
std::wstring ExplorerParametersFor(const kesh::String& folder);

// Asks Explorer (through the shell seam) to show folder in a new window.
void OpenFolderInExplorer(const kesh::String& folder);
