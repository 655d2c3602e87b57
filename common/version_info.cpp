#include "common/version_info.h"

#include "common/format_text.h"
#include "kesh/property.h"

#include <algorithm>
#include <cstring>
#include <vector>

bool ReadFileVersion(const kesh::String& path, VS_FIXEDFILEINFO& out)
{
    const boost::shared_array<wchar_t> wide = path.toWide();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(wide.get(), &handle);
    if (size == 0)
        return false;
    std::vector<BYTE> block(size);
    // A block that cannot be read holds nothing to copy: out stays as it was.
    if (!GetFileVersionInfoW(wide.get(), 0, size, block.data()))
        return false;
    void* record = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", &record, &length) && record)
        std::memcpy(&out, record, std::min<size_t>(length, sizeof(out)));
    return true;
}

bool ReadOwnFileVersion(VS_FIXEDFILEINFO& out)
{
    return ReadFileVersion(kesh::sys::getProperty("app.path", ""), out);
}

std::wstring ProductVersionText(const std::wstring& format, const VS_FIXEDFILEINFO& info)
{
    const auto part = [](DWORD word) { return std::to_wstring(word); };
    return FormatWithArgs(format, {part(HIWORD(info.dwProductVersionMS)), part(LOWORD(info.dwProductVersionMS)),
                                   part(HIWORD(info.dwProductVersionLS)), part(LOWORD(info.dwProductVersionLS))});
}
