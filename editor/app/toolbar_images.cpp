#include "editor/app/toolbar_images.h"

#include "editor/resource.h"
#include "kesh/handles.h"
#include "ui/png_resource.h"

#include <objidl.h>
#include <gdiplus.h>

bool LoadPngImageList(ui::ImageList& list, UINT id)
{
    const boost::shared_ptr<Gdiplus::Bitmap> strip = ui::LoadPngResource(id);
    if (!strip || strip->GetLastStatus() != Gdiplus::Ok)
        return false;
    HBITMAP handle = nullptr;
    if (strip->GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &handle) != Gdiplus::Ok || !handle)
        return false;
    const kesh::win::Bitmap images(handle);  // the list takes a copy
    const int width = static_cast<int>(strip->GetWidth());
    if (!list.Create(TOOLBAR_IMAGE_WIDTH, TOOLBAR_IMAGE_HEIGHT, ILC_COLOR32, width / TOOLBAR_IMAGE_WIDTH, 0))
        return false;
    return list.Add(images) != -1;
}
