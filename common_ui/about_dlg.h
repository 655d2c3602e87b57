#pragma once

#include "ui/dialog.h"

// The product's web site, which the About box's button opens (string
// IDS_WEBSITE_ADDRESS holds the same address; this one stands in when the
// string table lacks it).
constexpr const wchar_t* kProductWebsite = L"http://www.norpasoft.com/";

// The About box of both programs (dialog 100, ids in common/about_ids.h):
// name, version, maker and a button that opens the product's web site in
// the browser.
class CAboutDlg : public ui::CDialog {
public:
    explicit CAboutDlg(HWND parent = nullptr);

    void DoDataExchange(ui::DataExchange*) override {}
    // Shows the product version of the program's own file, each of its four
    // parts in full; 0.0.0.0 when the file has no readable version block.
    bool OnInitDialog() override;
    // The web site in the user's browser (through the shell seam).
    void OnBnClickedWebsite();

    // The address the web-site button opens.
    static std::wstring WebsiteAddress();

protected:
    const ui::MessageMap* GetMessageMap() const override;
};
