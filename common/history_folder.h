#pragma once

#include "kesh/string.h"
#include "kesh/time.h"

#include <functional>

// The root of the history folder tree that both programs share: captures
// go to "Capture" below it, upload shortcuts to "Upload".
constexpr const char* kHistoryFolderName = "My Norpa/History";

// The history root under home (normalised, with backslashes), created with
// every missing parent when it does not exist. A folder that cannot be made
// is logged and not otherwise reported: the path is returned all the same.
kesh::String HistoryRootUnder(const kesh::String& home);

// HistoryRootUnder the property "user.home".
kesh::String GetHistoryRoot();

// The folder name (such as "Upload") below the history root, created with
// every missing parent like the root itself.
kesh::String HistorySubfolderUnder(const kesh::String& home, const char* name);

// The name of the next history file of a day: prefix, the day's local date
// as yyMMdd, "-" and the first number n = 1, 2, ... (at least three digits,
// 001, ..., 999, 1000, ...) for which taken(name) is false. The search
// always starts at 1, so a number freed by a deleted file is used again.
kesh::String FirstFreeDatedName(const char* prefix, const kesh::Time& day,
                                const std::function<bool(const kesh::String&)>& taken);
