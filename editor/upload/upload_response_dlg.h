#pragma once

#include "kesh/array.h"
#include "kesh/string.h"
#include "ui/controls.h"
#include "ui/dialog.h"

#include <string>

// Dialog 107, "存储到Norpa - 完成": the pages the server stored, by title;
// the chosen one's address can be copied to the clipboard or opened in the
// browser. When it opens it leaves an Internet shortcut to the first
// address in the upload history. An address the shell must not be given
// (IsOpenableAddress) is shown and copied, never opened or kept; with no
// address at all, Copy and Open are disabled.
class CUploadResponseDlg : public ui::CDialog {
public:
    explicit CUploadResponseDlg(HWND parent = nullptr);

    kesh::TArray<kesh::StringPair> addresses;  // title, address; shared with the progress dialog
    std::wstring address;                       // the chosen one, as the address box shows it
    kesh::String historyHome;                   // where the upload history lies: "user.home"

    void DoDataExchange(ui::DataExchange* dx) override;
    bool OnInitDialog() override;

protected:
    const ui::MessageMap* GetMessageMap() const override;

private:
    void OnSelectTitle();
    void OnCopyUrl();
    void OnOpenUrl();
    LRESULT OnTimer(WPARAM, LPARAM);

    // The entry the combo box shows, or null when none is selected.
    const kesh::StringPair* Selected() const;

    ui::CComboBox titles_;
    ui::CEdit addressBox_;
};
