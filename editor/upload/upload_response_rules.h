#pragma once

#include "kesh/string.h"

#include <string>

// The response dialog's window-free rules.

// Whether an address the server gave back may be handed to the shell (the
// Open button, the history shortcut): http:// or https:// in any letter
// case and no control character anywhere. Any other address is only shown
// and copied: a server must not make the editor run a file or a script.
bool IsOpenableAddress(const kesh::String& address);

// The notice after Copy: the title in double quotes, then " 已经复制到剪贴板".
std::wstring CopyNoticeText(const std::wstring& title);
