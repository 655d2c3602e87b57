#pragma once

#include "kesh/string.h"

#include <windows.h>

#include <string>

// The fixed version record (VS_FIXEDFILEINFO) of the file at path: out
// receives at most the record's size of what the version block holds. False
// when the file has no version block or it cannot be read, with out
// untouched.
bool ReadFileVersion(const kesh::String& path, VS_FIXEDFILEINFO& out);

// ReadFileVersion of the program's own file (the property "app.path").
bool ReadOwnFileVersion(VS_FIXEDFILEINFO& out);

// format (such as "版本%d.%d.%d.%d") filled with the four product-version
// parts in order, each a full 16-bit number: 1.0.300.2 shows as such.
std::wstring ProductVersionText(const std::wstring& format, const VS_FIXEDFILEINFO& info);
