#include "toolbar/app/capture_history.h"

#include "common/editor_command_line.h"
#include "common/history_folder.h"
#include "common/image_formats.h"
#include "common/image_writer.h"
#include "kesh/file.h"
#include "kesh/path.h"
#include "kesh/property.h"
#include "kesh/time.h"
#include "toolbar/core/capture_rules.h"
#include "toolbar/resource.h"
#include "ui/shell_seams.h"

kesh::String SaveBitmapToHistory(HBITMAP bitmap)
{
    const kesh::fs::Path folder(HistorySubfolderUnder(kesh::sys::getProperty("user.home", ""), kCaptureFolderName));
    const kesh::String name = NextCaptureFileName(
        kesh::Time::now(), [&folder](const kesh::String& file) { return kesh::fs::exists((folder / file).toString()); });
    const kesh::String path = (folder / name).toString();
    // Staged and read back as the editor saves: a capture that cannot be
    // written whole leaves nothing in the history.
    switch (SaveBitmapAsImage(bitmap, path, 0, kImageFormatPNG)) {
    case SaveImageResult::Saved:
        return path;
    case SaveImageResult::NoBitmap:
        ui::AppMessageBox(IDS_BITMAP_FAILED, MB_ICONERROR);
        return kesh::String();
    case SaveImageResult::NoEncoder:
    case SaveImageResult::WriteFailed:
        break;
    }
    ui::AppMessageBox(IDS_SAVE_FAILED, MB_ICONERROR);
    return kesh::String();
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
