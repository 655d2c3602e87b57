#pragma once

#include "kesh/string.h"

#include <functional>
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

// The folder name below the history root ("Capture", "Upload") under
// GetHistoryRoot, created with every missing parent when it does not exist
// (a failure is not reported: the path is returned all the same).
kesh::String GetHistoryFolder(const char* name);

// Whether a file name is in use (a file or folder of that name exists).
using NameTaken = std::function<bool(const kesh::String& name)>;

// The first free name of a day's numbered series: prefix, date ("yyMMdd"),
// "-", a number counted from 1 with at least three digits (001 ... 999,
// then 1000, 1001 ... without end), extension. A name freed by a deletion
// is used again, since the count always starts at 1.
kesh::String FirstFreeHistoryName(const kesh::String& prefix, const kesh::String& date,
                                  const kesh::String& extension, const NameTaken& taken);

// FirstFreeHistoryName in folder, for today's local date, as a full path.
kesh::String FirstFreeHistoryPath(const kesh::String& folder, const kesh::String& prefix,
                                  const kesh::String& extension);

// What Explorer is given to open folder in a new window: /n,"folder".
std::wstring ExplorerParametersFor(const kesh::String& folder);

// Asks Explorer (through the shell seam) to show folder in a new window.
void OpenFolderInExplorer(const kesh::String& folder);
