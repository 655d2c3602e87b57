#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

namespace ui {

// The module whose resources the framework loads (the program's own).
HINSTANCE ResourceInstance();

// String id of the program's string table, empty when it has none.
std::wstring LoadResString(UINT id);

// The part of a command's string after the first "\n" (up to a second one):
// its tool tip. Empty when there is none.
std::wstring TooltipOf(const std::wstring& commandString);

// text with every "%1", "%2"... replaced by the argument of that number.
std::wstring FormatNumbered(const std::wstring& text, std::initializer_list<std::wstring> args);

}  // namespace ui
