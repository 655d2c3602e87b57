#include "toolbar/app/capture_history.h"

#include "common/editor_command_line.h"
#include "common/history_folder.h"
#include "common/image_codecs.h"
#include "common/image_formats.h"
#include "kesh/file.h"
#include "kesh/path.h"
#include "kesh/property.h"
#include "kesh/time.h"
#include "toolbar/core/capture_rules.h"
#include "toolbar/resource.h"
#include "ui/shell_seams.h"

#include <objidl.h>
#include <gdiplus.h>

#include <memory>

kesh::String SaveBitmapToHistory(HBITMAP bitmap)
{
    std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromHBITMAP(bitmap, nullptr));
    // GetLastStatus clears the status it gives: it is read once.
    const Gdiplus::Status made = image ? image->GetLastStatus() : Gdiplus::OutOfMemory;
    if (made != Gdiplus::Ok) {
        LogGdiplusFailure("GdipCreateBitmapFromHBITMAP", made, kesh::String());
        ui::AppMessageBox(IDS_BITMAP_FAILED, MB_ICONERROR);
        return kesh::String();
    }
    const kesh::fs::Path folder(HistorySubfolderUnder(kesh::sys::getProperty("user.home", ""), kCaptureFolderName));
    const kesh::String name = NextCaptureFileName(
        kesh::Time::now(), [&folder](const kesh::String& file) { return kesh::fs::exists((folder / file).toString()); });
    const kesh::String path = (folder / name).toString();
    ImageCodecEntry png;
    Gdiplus::Status saved = Gdiplus::UnknownImageFormat;  // without a PNG encoder
    if (FindImageEncoder(png, kImageFormatPNG))
        saved = image->Save(kesh::Wide(path).c_str(), &png.clsid, nullptr);
    if (saved != Gdiplus::Ok) {
        LogGdiplusFailure("GdipSaveImageToFile", saved, path);
        ui::AppMessageBox(IDS_SAVE_FAILED, MB_ICONERROR);
        return kesh::String();
    }
    return path;
}

bool LaunchEditor(const kesh::String& path, int x, int y)
{
    const kesh::String program = EditorProgramPath(kesh::sys::getProperty("app.path", ""));
    const kesh::String parameters = EditorParameters(path, x, y);
    const HINSTANCE started = ui::Shell().ShellExecute(nullptr, L"open", kesh::Wide(program).c_str(),
                                                       kesh::Wide(parameters).c_str(), nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(started) > 32)
        return true;
    ui::AppMessageBox(IDS_EDITOR_FAILED, MB_ICONERROR);
    return false;
}
