#include "editor/upload/upload_input_rules.h"

#include "editor/upload/byte_size.h"

#include <cwchar>

std::wstring ImageSizeLine(unsigned long long fileSize, int width, int height)
{
    const kesh::String size = FormatByteSize(static_cast<unsigned>(fileSize));
    wchar_t line[128] = {};
    swprintf(line, 128, L"%ls   %u X %u像素", kesh::Wide(size).c_str(), static_cast<unsigned>(width),
             static_cast<unsigned>(height));
    return line;
}
