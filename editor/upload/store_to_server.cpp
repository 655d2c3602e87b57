#include "editor/upload/store_to_server.h"

#include "common/image_formats.h"
#include "editor/resource.h"
#include "editor/upload/client_id.h"
#include "editor/upload/upload_input_dlg.h"
#include "editor/upload/upload_progress_dlg.h"
#include "editor/upload/upload_response_dlg.h"
#include "editor/view/paint_view.h"
#include "editor/view/save_format_dlg.h"
#include "kesh/file.h"
#include "kesh/handles.h"
#include "kesh/path.h"
#include "kesh/property.h"
#include "kesh/registry.h"
#include "kesh/uuid.h"
#include "ui/shell_seams.h"
#include "ui/strings.h"

#include <boost/make_shared.hpp>
#include <boost/shared_ptr.hpp>

namespace {

constexpr const char* kSignValueName = "sign";

using kesh::Wide;

// Removes the temporary copy however the command ends, a copy that failed
// half-way included, once its last holder lets go: the command, and every
// upload worker that may still read it (closing the editor ends the command
// while the cancelled worker still holds the file open). A copy held for
// removal goes also when no holder ever lets go: a worker the network
// keeps waiting ends with the process, and so does the process itself.
class TemporaryFile {
public:
    explicit TemporaryFile(const kesh::String& path) : path_(path) {}
    ~TemporaryFile()
    {
        held_.reset();
        if (kesh::fs::exists(path_))
            kesh::fs::remove(path_);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const kesh::String& path() const { return path_; }

    // Once the copy is written: from now on the system removes it when the
    // last handle to it closes, at the latest when the process ends,
    // however it ends. Whoever opens it meanwhile shares its deletion (the
    // upload's read does). Without that hold it goes with this object.
    void HoldForRemoval()
    {
        held_ = kesh::win::KernelHandle(CreateFileW(Wide(path_).c_str(), DELETE,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                    OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    }

private:
    kesh::String path_;
    kesh::win::KernelHandle held_;
};

// The image as it will be sent: the opened file byte for byte, or the view
// encoded in the chosen format. False after a failure (shown to the user).
bool WriteTemporaryCopy(CPaintView& view, const CSaveFormatDlg& format, const kesh::String& path)
{
    if (format.skipped) {
        if (kesh::fs::copy(view.GetPath(), path))
            return true;
        ui::AppMessageBox(IDS_SAVE_FAILED, MB_OK | MB_ICONERROR);
        return false;
    }
    return view.SaveImage(path, static_cast<ULONG>(format.quality), format.format);
}

// The stored signature, or the user's logon name before the first one.
std::wstring InitialSignature(const kesh::String& settingsKeyPath)
{
    const kesh::String stored = kesh::app::openRegistryKey(settingsKeyPath, false)->getValue(kSignValueName, "");
    return Wide(stored.isEmpty() ? kesh::sys::getProperty("user.name", "") : stored);
}

}  // namespace

kesh::String NewTemporaryUploadPath()
{
    kesh::fs::Path path(kesh::sys::getProperty("user.temp", ""));
    path.child(kesh::util::generateUuid().toHex());
    return path.toString();
}

void StoreToServer(CPaintView& view, const kesh::String& settingsKeyPath)
{
    const bool allowSkip = view.Modified() == 0 && CanKeepOriginalFormat(view.RawFormat());
    CSaveFormatDlg format(true, allowSkip, view.PreferredSaveFormat(), settingsKeyPath);
    if (format.DoModal() != IDOK)
        return;
    const auto copy = boost::make_shared<TemporaryFile>(NewTemporaryUploadPath());
    if (!WriteTemporaryCopy(view, format, copy->path()))
        return;
    copy->HoldForRemoval();

    CUploadInputDlg input;
    input.description = ui::LoadResString(IDS_UPLOAD_DEFAULT_DESCRIPTION);
    input.signature = InitialSignature(settingsKeyPath);
    input.imagePath = copy->path();
    input.width = view.Width();
    input.height = view.Height();
    while (input.DoModal() == IDOK) {
        kesh::app::openRegistryKey(settingsKeyPath, false)->setValue(kSignValueName, kesh::String(input.signature.c_str()));
        CUploadProgressDlg progress;
        progress.width = view.Width();
        progress.height = view.Height();
        progress.imagePath = Wide(copy->path());
        progress.imageOwner = copy;
        progress.comment = input.description;
        progress.sign = input.signature;
        progress.uid = Wide(LoadOrCreateOid());
        const INT_PTR result = progress.DoModal();
        if (result == IDOK) {
            CUploadResponseDlg response;
            response.addresses = progress.addresses;
            response.DoModal();
            break;
        }
        // The dialog went with the window it belongs to: the editor closes.
        if (result != IDCANCEL)
            break;
    }
}
