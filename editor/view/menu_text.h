#pragma once

#include <string>

// A menu item text used as a format with one integer argument, such as
// "自定粗细 (%dpx)..." or "自定颜色 (#%06X)...". Only integer conversions
// (d, i, u, x, X, with flags, width and precision) take the value, each the
// same one; "%%" gives "%"; anything else after a "%" stays as it is, so a
// text that is no format (or one meant for a string) cannot read beyond the
// one argument.
std::wstring FormatItemText(const std::wstring& format, int value);
