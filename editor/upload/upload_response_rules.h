#pragma once

#include "common/openable_address.h"
#include "kesh/string.h"

#include <string>

// The response dialog's window-free rules. Whether an address the server
// gave back may be opened (the Open button, the history shortcut) is
// IsOpenableAddress, shared with the toolbar's version check.

// The notice after Copy: the title in double quotes, then " 已经复制到剪贴板".
std::wstring CopyNoticeText(const std::wstring& title);
