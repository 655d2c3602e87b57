#pragma once

#include "kesh/string.h"

#include <string>

// What Explorer is given to open folder in a new window: /n,"folder".
std::wstring ExplorerParametersFor(const kesh::String& folder);

// Asks Explorer (through the shell seam) to show folder in a new window.
void OpenFolderInExplorer(const kesh::String& folder);
