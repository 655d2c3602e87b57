#include "ui/data_exchange.h"

#include "ui/resource_ids.h"
#include "ui/shell_seams.h"
#include "ui/strings.h"
#include "ui/window.h"

namespace ui {

HWND DataExchange::PrepareCtrl(int id)
{
    lastControl_ = window_->GetDlgItem(id);
    lastWasEdit_ = false;
    return lastControl_;
}

HWND DataExchange::PrepareEditCtrl(int id)
{
    PrepareCtrl(id);
    lastWasEdit_ = true;
    return lastControl_;
}

void DataExchange::Fail(const std::wstring& message)
{
    failed_ = true;
    AppMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    if (lastControl_) {
        SetFocus(lastControl_);
        if (lastWasEdit_)
            ::SendMessageW(lastControl_, EM_SETSEL, 0, -1);
    }
}

bool ParseInt(const std::wstring& text, int& value)
{
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && (text[i] == L' ' || text[i] == L'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    const size_t digitsFrom = i;
    long long magnitude = 0;
    for (; i < n && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - L'0');
        if (magnitude > 2147483648LL)
            return false;
    }
    if (i == digitsFrom)
        return false;
    while (i < n && (text[i] == L' ' || text[i] == L'\t'))
        ++i;
    if (i != n)
        return false;
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > 2147483647LL)
        return false;
    value = static_cast<int>(signedValue);
    return true;
}

void ExchangeText(DataExchange* dx, int id, int& value)
{
    if (dx->failed())
        return;
    HWND edit = dx->PrepareEditCtrl(id);
    if (!dx->saving()) {
        ::SetWindowTextW(edit, std::to_wstring(value).c_str());
        return;
    }
    int parsed = 0;
    if (!ParseInt(WindowText(edit), parsed)) {
        dx->Fail(LoadResString(IDS_PARSE_INT));
        return;
    }
    value = parsed;
}

void ExchangeText(DataExchange* dx, int id, std::wstring& value)
{
    if (dx->failed())
        return;
    HWND edit = dx->PrepareEditCtrl(id);
    if (!dx->saving()) {
        ::SetWindowTextW(edit, value.c_str());
        return;
    }
    value = WindowText(edit);
}

void ExchangeText(DataExchange* dx, int id, kesh::String& value)
{
    std::wstring wide = dx->saving() ? std::wstring() : kesh::Wide(value);
    ExchangeText(dx, id, wide);
    if (dx->saving() && !dx->failed())
        value = kesh::String(wide.c_str());
}

void ExchangeCheck(DataExchange* dx, int id, int& value)
{
    if (dx->failed())
        return;
    HWND button = dx->PrepareCtrl(id);
    if (dx->saving())
        value = static_cast<int>(::SendMessageW(button, BM_GETCHECK, 0, 0));
    else
        ::SendMessageW(button, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void BindControl(DataExchange* dx, int id, CWnd& control)
{
    if (dx->failed() || control.handle())
        return;
    control.Subclass(dx->PrepareCtrl(id));
}

void CheckIntRange(DataExchange* dx, int value, int min, int max)
{
    if (dx->failed() || !dx->saving())
        return;
    if (value < min || value > max)
        dx->Fail(FormatNumbered(LoadResString(IDS_PARSE_INT_RANGE), {std::to_wstring(min), std::to_wstring(max)}));
}

}  // namespace ui
