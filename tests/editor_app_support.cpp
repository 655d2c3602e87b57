#include "tests/editor_app_support.h"

#include "common/image_codecs.h"
#include "common/image_formats.h"
#include "kesh/handles.h"
#include "tests/registry_cleanup.h"
#include "tests/wait.h"

#include <commctrl.h>
#include <objidl.h>
#include <shlobj.h>
#include <gdiplus.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace editorapptest {

namespace {

using kesh::Wide;

void SaveWithEncoder(Gdiplus::Bitmap& bitmap, const kesh::String& path, const GUID& format)
{
    ImageCodecEntry encoder;
    if (FindImageEncoder(encoder, format))
        bitmap.Save(Wide(path).c_str(), &encoder.clsid, nullptr);
}

}  // namespace

kesh::String BesideTestProgram(const char* name)
{
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path = module;
    path = path.substr(0, path.find_last_of(L"\\/") + 1);
    return kesh::String(path.c_str()) + name;
}

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    const kesh::win::FindHandle search(FindFirstFileW((path + L"\\*").c_str(), &found));
    if (search.isValid()) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &found));
    }
    RemoveDirectoryW(path.c_str());
}

HDROP MakeDrop(const std::vector<kesh::String>& files)
{
    std::wstring list;
    for (const kesh::String& file : files) {
        list += Wide(file);
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(drop + 1));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

bool TooltipShown()
{
    bool shown = false;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM l) {
            wchar_t name[32] = {};
            GetClassNameW(hwnd, name, 32);
            *reinterpret_cast<bool*>(l) |= IsWindowVisible(hwnd) && lstrcmpW(name, TOOLTIPS_CLASSW) == 0;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&shown));
    return shown;
}

namespace {
struct MenuWatch {
    bool seen, tipShown;
    DWORD since;
} menuWatch;
HWND ShownMenu()
{
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}
}  // namespace

int TooltipOverMenu(const std::function<void()>& open)
{
    menuWatch = MenuWatch();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        if (!ShownMenu())
            return;
        if (!menuWatch.seen)
            menuWatch.since = GetTickCount();
        menuWatch.seen = true;
        menuWatch.tipShown = menuWatch.tipShown || TooltipShown();
        if (GetTickCount() - menuWatch.since > 3 * GetDoubleClickTime())
            EndMenu();
    });
    open();
    testsupport::WaitFor([] { return menuWatch.seen && !ShownMenu(); }, 5000, uitest::pump);
    KillTimer(nullptr, timer);
    return menuWatch.seen ? menuWatch.tipShown : -1;
}

bool FindImageCorner(POINT around, int reach, COLORREF colour, POINT& corner)
{
    const kesh::win::ClientDC screen(nullptr);
    const auto is = [&](int x, int y) { return GetPixel(screen, x, y) == colour; };
    for (int y = around.y - reach; y <= around.y + reach; ++y) {
        for (int x = around.x - reach; x <= around.x + reach; ++x) {
            if (is(x, y) && !is(x - 1, y) && !is(x, y - 1)) {
                corner = POINT{x, y};
                return true;
            }
        }
    }
    return false;
}

void WriteFileBytes(const kesh::String& path, const std::string& bytes)
{
    std::ofstream out(Wide(path).c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileBytes(const kesh::String& path)
{
    std::ifstream in(Wide(path).c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WritePng(const kesh::String& path, int width, int height, DWORD colour, DWORD marker)
{
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, Gdiplus::Color(0xFF000000u | ((x == 0 && y == 0) ? marker : colour)));
    SaveWithEncoder(bitmap, path, kImageFormatPNG);
}

void WriteTinyGif(const kesh::String& path)
{
    static const unsigned char bytes[] = {
        'G', 'I', 'F', '8', '9', 'a', 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00,  // screen, 2 colours
        0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,                                      // black, white
        0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,              // the image
        0x02, 0x01, 0x44, 0x00,                                                  // its pixel
        0x3B};
    WriteFileBytes(path, std::string(reinterpret_cast<const char*>(bytes), sizeof(bytes)));
}

FileLock::FileLock(const kesh::String& path)
    : handle_(CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr))
{
}

KeyBackup::KeyBackup(const wchar_t* subKey)
    : subKey_(subKey), backup_(std::wstring(L"Software\\NorpaTest\\backup") + (subKey_.c_str() + subKey_.rfind(L'\\')))
{
    kesh::win::RegistryKeyHandle key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS) {
        SHDeleteKeyW(HKEY_CURRENT_USER, backup_.c_str());
        kesh::win::RegistryKeyHandle backup;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, backup_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            backup.Receive(), nullptr) == ERROR_SUCCESS)
            saved_ = SHCopyKeyW(key, nullptr, backup, 0) == ERROR_SUCCESS;
    }
    SHDeleteKeyW(HKEY_CURRENT_USER, subKey_.c_str());
}

KeyBackup::~KeyBackup()
{
    testsupport::DeleteKeyAndEmptyParents(subKey_);
    if (!saved_)
        return;
    kesh::win::RegistryKeyHandle backup, key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, backup_.c_str(), 0, KEY_READ, backup.Receive()) == ERROR_SUCCESS &&
        RegCreateKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                        nullptr) == ERROR_SUCCESS)
        SHCopyKeyW(backup, nullptr, key, 0);
    backup.reset();
    testsupport::DeleteKeyAndEmptyParents(backup_);
}

}  // namespace editorapptest
