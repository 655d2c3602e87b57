#include "editor/core/view_title.h"

#include "kesh/path.h"

kesh::String ViewTitle(const kesh::String& programName, int modifiedCounter, const kesh::String& path)
{
    kesh::String title(programName);
    title.append(modifiedCounter != 0 ? " - *" : " - ");
    title.append(kesh::fs::Path(path).getName().c_str());
    return title;
}
