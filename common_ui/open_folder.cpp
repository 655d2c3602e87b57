#include "common_ui/open_folder.h"

#include "ui/shell_seams.h"

std::wstring ExplorerParametersFor(const kesh::String& folder)
{
    return L"/n,\"" + kesh::Wide(folder) + L"\"";
}

void OpenFolderInExplorer(const kesh::String& folder)
{
    const std::wstring parameters = ExplorerParametersFor(folder);
    ui::Shell().ShellExecute(nullptr, L"open", L"Explorer.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
}
