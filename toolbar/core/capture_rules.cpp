#include "toolbar/core/capture_rules.h"

#include "common/history_folder.h"
#include "kesh/path.h"

#include <algorithm>

RECT NormalizedSelection(POINT a, POINT b)
{
    return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

RECT ClampSelectionToScreen(const RECT& selection, int width, int height)
{
    RECT out = {std::max(selection.left, 0L), std::max(selection.top, 0L), std::min<LONG>(selection.right, width),
                std::min<LONG>(selection.bottom, height)};
    if (IsEmptySelection(out))
        return RECT{};
    return out;
}

bool IsEmptySelection(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

kesh::String NextCaptureFileName(const kesh::Time& day, const std::function<bool(const kesh::String&)>& taken)
{
    const char* extension = ".png";
    return FirstFreeDatedName("cap", day, [&](const kesh::String& name) { return taken(name + extension); }) +
           extension;
}

kesh::String EditorProgramPath(const kesh::String& toolbarProgram)
{
    return (kesh::fs::Path(toolbarProgram).parent() / "vomla.exe").toString();
}
