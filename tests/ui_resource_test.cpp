// The resource pipeline: strings, the manifest's Common Controls 6, the
// version block, cursors and icons, PNG resources.
#include "tests/ui_test_ids.h"

#include "kesh/handles.h"
#include "ui/png_resource.h"
#include "ui/resource_ids.h"
#include "ui/strings.h"

#include <gtest/gtest.h>

#include <objidl.h>
#include <gdiplus.h>
#include <shlwapi.h>

#include <vector>

namespace {

TEST(UiResources, StringsAreUtf8ChineseInLanguage2052)
{
    EXPECT_EQ(ui::LoadResString(IDS_APP_TITLE), L"Norpa测试");
    EXPECT_EQ(ui::LoadResString(IDS_PARSE_INT_RANGE), L"请输入一个在 %1 和 %2 之间的整数。");
    EXPECT_EQ(ui::LoadResString(12345), L"");
    HRSRC block = FindResourceExW(nullptr, RT_STRING, MAKEINTRESOURCEW(IDS_APP_TITLE / 16 + 1),
                                  MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    EXPECT_NE(block, nullptr);
}

TEST(UiResources, TooltipIsThePartAfterTheFirstNewline)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* tip;
    } cases[] = {
        {L"状态\n提示", L"提示"}, {L"\n只有提示", L"只有提示"}, {L"没有提示", L""},
        {L"a\nb\nc", L"b"},       {L"", L""},                   {L"a\n", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::TooltipOf(c.text), c.tip) << testing::PrintToString(std::wstring(c.text));
}

TEST(UiResources, NumberedPlaceholders)
{
    EXPECT_EQ(ui::FormatNumbered(L"在 %1 和 %2 之间", {L"1", L"100"}), L"在 1 和 100 之间");
    EXPECT_EQ(ui::FormatNumbered(L"%2-%1-%3%", {L"a", L"b"}), L"b-a-%3%");
}

TEST(UiResources, ManifestBringsCommonControls6)
{
    // The manifest redirects comctl32.dll to the side-by-side version 6
    // assembly, and the program's own imports are bound to that copy, not
    // to the one in the system folder.
    ACTCTX_SECTION_KEYED_DATA data = {};
    data.cbSize = sizeof(data);
    EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll",
                                         &data));
    HMODULE comctl = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&ImageList_Create)), &comctl));
    wchar_t bound[MAX_PATH] = {};
    GetModuleFileNameW(comctl, bound, MAX_PATH);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring systemCopy = std::wstring(system) + L"\\comctl32.dll";
    EXPECT_NE(lstrcmpiW(bound, systemCopy.c_str()), 0) << testing::PrintToString(std::wstring(bound));
}

TEST(UiResources, ManifestNamesOnlyCommonControlsForThisArchitecture)
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    const std::string manifest(text, SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("processorArchitecture=\"amd64\""), std::string::npos);
    EXPECT_EQ(manifest.find("x86\""), std::string::npos);
    EXPECT_EQ(manifest.find("GdiPlus"), std::string::npos);
    size_t dependencies = 0;
    for (size_t at = manifest.find("<dependentAssembly"); at != std::string::npos;
         at = manifest.find("<dependentAssembly", at + 1))
        ++dependencies;
    EXPECT_EQ(dependencies, 1u);
}

TEST(UiResources, VersionBlockKeepsFullSixteenBitParts)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length));
    EXPECT_EQ(HIWORD(info->dwProductVersionMS), 1u);
    EXPECT_EQ(LOWORD(info->dwProductVersionMS), 0u);
    EXPECT_EQ(HIWORD(info->dwProductVersionLS), 300u);
    EXPECT_EQ(LOWORD(info->dwProductVersionLS), 2u);
}

TEST(UiResources, CursorKeepsItsHotSpotAndIconItsSizes)
{
    HCURSOR cursor = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_TEST_CROSS));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    kesh::win::Bitmap colour(info.hbmColor), mask(info.hbmMask);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 15u);
    EXPECT_EQ(info.yHotspot, 15u);

    for (int size : {16, 32}) {
        const kesh::win::IconHandle icon(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TEST_FRAME), IMAGE_ICON, size, size, 0)));
        ASSERT_TRUE(icon.isValid()) << size;
        ICONINFO iconInfo = {};
        ASSERT_TRUE(GetIconInfo(icon, &iconInfo));
        kesh::win::Bitmap iconColour(iconInfo.hbmColor), iconMask(iconInfo.hbmMask);
        BITMAP bitmap = {};
        GetObjectW(iconColour, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
    }
}

class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    ~GdiplusSession() { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

TEST(UiResources, PngResourceBecomesABitmapThatOwnsItsMemory)
{
    GdiplusSession gdiplus;
    {
        boost::shared_ptr<Gdiplus::Bitmap> strip = ui::LoadPngResource(IDP_TEST_PNG);
        ASSERT_TRUE(strip);
        EXPECT_EQ(strip->GetLastStatus(), Gdiplus::Ok);
        EXPECT_EQ(strip->GetWidth(), 70u);
        EXPECT_EQ(strip->GetHeight(), 32u);
        Gdiplus::Color left, right;
        strip->GetPixel(0, 0, &left);
        strip->GetPixel(69, 31, &right);
        EXPECT_EQ(left.GetValue(), 0xFFFF0000u);
        EXPECT_EQ(right.GetAlpha(), 128);
        // Still readable after more allocations: the data stayed alive.
        HBITMAP copy = nullptr;
        ASSERT_EQ(strip->GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &copy), Gdiplus::Ok);
        kesh::win::Bitmap owned(copy);
        BITMAP info = {};
        GetObjectW(owned, sizeof(info), &info);
        EXPECT_EQ(info.bmWidth, 70);
    }
    EXPECT_FALSE(ui::LoadPngResource(9999));
}

}  // namespace
