#include "editor/view/save_format_dlg.h"

#include "common/image_formats.h"
#include "editor/view/save_format_rules.h"
#include "kesh/registry.h"
#include "ui/data_exchange.h"

#include <string>

CSaveFormatDlg::CSaveFormatDlg(bool allowChoice_, bool allowSkip_, const GUID& format_,
                               const kesh::String& settingsKeyPath)
    : CDialog(IDD_SAVE_FORMAT),
      format(format_),
      allowChoice(allowChoice_),
      allowSkip(allowSkip_),
      settingsKeyPath_(settingsKeyPath)
{
    quality = QualityFromStoredText(
        kesh::app::openRegistryKey(settingsKeyPath_, true)->getValue(kJpegQualityValueName, kDefaultJpegQualityText));
}

const ui::MessageMap* CSaveFormatDlg::GetMessageMap() const
{
    static const ui::MessageMap map(CDialog::GetMessageMap(), {
        ui::OnControl(CBN_SELCHANGE, IDC_SAVE_FORMAT_LIST, &CSaveFormatDlg::OnSelchangeFormat),
        ui::OnControl(CBN_SELCHANGE, IDC_SAVE_QUALITY_PRESET, &CSaveFormatDlg::OnSelchangePreset),
        ui::OnControl(EN_CHANGE, IDC_SAVE_QUALITY_EDIT, &CSaveFormatDlg::OnChangeQuality),
        ui::OnMessage(WM_HSCROLL, &CSaveFormatDlg::OnHScroll),
        ui::OnCommand(IDC_SAVE_SKIP, &CSaveFormatDlg::OnSkip),
    });
    return &map;
}

void CSaveFormatDlg::DoDataExchange(ui::DataExchange* dx)
{
    ui::BindControl(dx, IDC_SAVE_FORMAT_LIST, formatList_);
    ui::ExchangeText(dx, IDC_SAVE_QUALITY_EDIT, quality);
    ui::CheckIntRange(dx, quality, kQualityMin, kQualityMax);
    ui::BindControl(dx, IDC_SAVE_QUALITY_PRESET, presetList_);
    ui::BindControl(dx, IDC_SAVE_QUALITY_SLIDER, slider_);
}

bool CSaveFormatDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    const std::vector<OfferedSaveFormat> offered = ListOfferedSaveFormats();
    for (const OfferedSaveFormat& entry : offered) {
        const int item = formatList_.AddString(kesh::Wide(entry.description).c_str());
        formatList_.SetItemData(item, reinterpret_cast<DWORD_PTR>(entry.format));
    }
    formatList_.SetCurSel(InitialFormatIndex(offered, format));
    OnSelchangeFormat();

    for (const QualityPreset& preset : kQualityPresets) {
        const int item = presetList_.AddString(preset.text);
        presetList_.SetItemData(item, static_cast<DWORD_PTR>(preset.value));
    }
    OnChangeQuality();

    EnableWindow(formatList_.handle(), allowChoice);
    EnableWindow(GetDlgItem(IDC_SAVE_SKIP), allowSkip);
    if (!allowSkip) {
        // The template makes skip the default button. The style alone would
        // leave the dialog's default id on the disabled skip button, and
        // Enter would do nothing: move both to OK.
        ::SendMessageW(GetDlgItem(IDC_SAVE_SKIP), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        const LONG okStyle = GetWindowLongW(GetDlgItem(IDOK), GWL_STYLE);
        ::SendMessageW(GetDlgItem(IDOK), BM_SETSTYLE, LOWORD(okStyle) | BS_DEFPUSHBUTTON, TRUE);
        SendMessage(DM_SETDEFID, static_cast<WPARAM>(DefaultButtonId(allowSkip)));
    }
    return true;
}

void CSaveFormatDlg::OnSelchangeFormat()
{
    const int item = formatList_.GetCurSel();
    if (item < 0)
        return;
    const GUID* selected = reinterpret_cast<const GUID*>(formatList_.GetItemData(item));
    const BOOL on = selected && QualityControlsEnabled(*selected);
    EnableWindow(GetDlgItem(IDC_SAVE_QUALITY_EDIT), on);
    EnableWindow(slider_.handle(), on);
    EnableWindow(presetList_.handle(), on);
}

void CSaveFormatDlg::SetQualityText(int value)
{
    // Raises EN_CHANGE, which brings slider and preset along.
    SetDlgItemText(IDC_SAVE_QUALITY_EDIT, std::to_wstring(value).c_str());
}

void CSaveFormatDlg::OnSelchangePreset()
{
    const int item = presetList_.GetCurSel();
    if (item < 0)
        return;
    const int value = static_cast<int>(presetList_.GetItemData(item));
    slider_.SetPos(value, true);
    SetQualityText(value);
}

void CSaveFormatDlg::OnChangeQuality()
{
    // A failure has shown its message already; a number out of range is
    // stored in quality all the same, text that is no number is not.
    UpdateData(true);
    slider_.SetPos(quality, true);
    presetList_.SetCurSel(PresetIndexForQuality(quality));
}

LRESULT CSaveFormatDlg::OnHScroll(WPARAM, LPARAM l)
{
    if (slider_.handle() && reinterpret_cast<HWND>(l) == slider_.handle()) {
        SetQualityText(slider_.GetPos());
        OnChangeQuality();
    }
    return CallDefault();
}

void CSaveFormatDlg::OnOK()
{
    const int item = formatList_.GetCurSel();
    if (item < 0)
        return;
    // The quality is checked before it is stored: a refused value kept in
    // the registry would greet every later dialog with the range message.
    if (!UpdateData(true))
        return;
    if (const GUID* selected = reinterpret_cast<const GUID*>(formatList_.GetItemData(item)))
        format = *selected;
    kesh::app::openRegistryKey(settingsKeyPath_, false)->setValue(kJpegQualityValueName, quality);
    EndDialog(IDOK);
}

void CSaveFormatDlg::OnSkip()
{
    skipped = true;
    EndDialog(IDOK);
}
