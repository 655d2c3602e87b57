#pragma once

#include "editor/core/pen_settings.h"
#include "kesh/string.h"
#include "ui/controls.h"
#include "ui/dialog.h"

#include <windows.h>

// Dialog 104: asks for the output format, the JPEG quality and whether to
// keep the image's file byte for byte instead (skip). After IDOK the caller
// reads skipped, format and quality. The quality shown first is the one
// last confirmed with OK ("jpegQuality" under the settings key, 90 before
// the first); only OK writes it back.
class CSaveFormatDlg : public ui::CDialog {
public:
    // allowChoice enables the format list, allowSkip the skip button (and
    // makes it the default button; otherwise OK is). Tests give a settings
    // key of their own.
    CSaveFormatDlg(bool allowChoice, bool allowSkip, const GUID& format,
                   const kesh::String& settingsKeyPath = kSettingsKeyPath);

    bool skipped = false;  // ended by the skip button
    GUID format;           // in: the initial choice; out: the chosen format
    bool allowChoice;
    bool allowSkip;
    int quality;           // 0 to 100, validated whenever the controls are read

    void DoDataExchange(ui::DataExchange* dx) override;
    bool OnInitDialog() override;
    void OnOK() override;

protected:
    const ui::MessageMap* GetMessageMap() const override;

private:
    void OnSelchangeFormat();
    void OnSelchangePreset();
    void OnChangeQuality();
    LRESULT OnHScroll(WPARAM, LPARAM);
    void OnSkip();
    void SetQualityText(int value);

    kesh::String settingsKeyPath_;
    ui::CComboBox formatList_;
    ui::CComboBox presetList_;
    ui::CSliderCtrl slider_;
};
