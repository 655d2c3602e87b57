#include "toolbar/app/check_version_dlg.h"

#include "common/version_info.h"
#include "toolbar/app/http_runner.h"
#include "toolbar/core/version_rules.h"
#include "toolbar/resource.h"

#include <boost/make_shared.hpp>

CCheckVersionDlg::CCheckVersionDlg(HWND parent)
    : CRunnerDialog(IDD_CHECK_VERSION, parent, kVersionStageFinished, TakenCancel::Grays)
{
}

boost::shared_ptr<NetworkRunner> CCheckVersionDlg::MakeRunner() { return boost::make_shared<HttpRunner>(handle()); }

LRESULT CCheckVersionDlg::OnStage(unsigned stage, void* record)
{
    switch (stage) {
    case kVersionStageRequest:
        SetDlgItemText(IDC_VERSION_STAGE, L"获取版本信息...");
        return 1;
    case kVersionStageCheck:
        SetDlgItemText(IDC_VERSION_STAGE, L"验证数据有效性...");
        return record ? CheckReply(*static_cast<kesh::String*>(record)) : 0;
    default:
        return 1;
    }
}

LRESULT CCheckVersionDlg::CheckReply(kesh::String& body)
{
    // The product version, not the file version: the one users are told.
    VS_FIXEDFILEINFO own = {};
    ReadOwnFileVersion(own);
    const VersionReply reply = ReadVersionReply(body, PackedProductVersion(own));
    if (!reply.recognised) {
        body = kUnrecognisedReplyText;
        return 0;
    }
    newer = reply.newer;
    downloadAddress = reply.downloadAddress;
    return 1;
}
