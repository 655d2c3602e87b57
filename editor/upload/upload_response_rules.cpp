#include "editor/upload/upload_response_rules.h"

bool IsOpenableAddress(const kesh::String& address)
{
    if (!address.startsWith("http://", true) && !address.startsWith("https://", true))
        return false;
    for (const char* c = address.c_str(); *c; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
    }
    return true;
}

std::wstring CopyNoticeText(const std::wstring& title)
{
    return L"\"" + title + L"\" 已经复制到剪贴板";
}
