#pragma once

#include "kesh/string.h"
#include "ui/dialog.h"

#include <string>

// Dialog 9, "存储到Norpa - 描述图片": asks for a description and a signature
// and shows the size of what will be sent. The command sets every field
// before DoModal; after IDOK the two texts hold what the user left (no
// check: empty texts are sent as they are).
class CUploadInputDlg : public ui::CDialog {
public:
    explicit CUploadInputDlg(HWND parent = nullptr);

    std::wstring description;
    std::wstring signature;
    kesh::String imagePath;  // the file that will be sent
    int width = 0;
    int height = 0;

    void DoDataExchange(ui::DataExchange* dx) override;
    bool OnInitDialog() override;
};
