#pragma once

#include <windows.h>

#include <boost/shared_ptr.hpp>

namespace Gdiplus {
class Bitmap;
}

namespace ui {

// The PNG resource id (type "PNG") of the program as a GDI+ bitmap; empty
// when there is no such resource. GDI+ reads the image data as long as the
// bitmap lives, so the memory holding it is freed only with the bitmap.
// Needs GDI+ started.
boost::shared_ptr<Gdiplus::Bitmap> LoadPngResource(UINT id);

}  // namespace ui
