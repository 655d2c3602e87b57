#pragma once

#include <initializer_list>
#include <string>

// Fills a printf-style text from the string table with ready-made texts:
// each "%s", "%d" or "%u" takes the next argument as it stands, "%%" gives
// "%", anything else after "%" is kept. A missing argument is empty. The
// arguments are never read as formats, so a path holding "%" is shown as
// it is.
std::wstring FormatWithArgs(const std::wstring& format, std::initializer_list<std::wstring> args);
