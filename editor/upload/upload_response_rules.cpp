#include "editor/upload/upload_response_rules.h"

std::wstring CopyNoticeText(const std::wstring& title)
{
    return L"\"" + title + L"\" 已经复制到剪贴板";
}
