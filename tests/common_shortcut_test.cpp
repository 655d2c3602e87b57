// Shortcut files written through the shell's own objects, read back through
// the same objects.
#include "common/shortcut_file.h"
#include "kesh/handles.h"
#include "kesh/path.h"
#include "kesh/property.h"
#include "kesh/string.h"
#include "tests/editor_test_support.h"

#include <gtest/gtest.h>

#include <intshcut.h>
#include <objbase.h>
#include <shlobj.h>

#include <fstream>
#include <set>
#include <string>

namespace {

using kesh::win::ComPtr;
using kesh::win::ReceiveInterface;

using kesh::Wide;

class ComSession {
public:
    ComSession() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComSession()
    {
        if (ok_)
            CoUninitialize();
    }

private:
    bool ok_;
};

// The address an Internet shortcut file points to, read by the shell.
std::wstring ReadUrl(const kesh::String& path)
{
    ComPtr<IUniformResourceLocatorW> locator;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER, IID_IUniformResourceLocatorW,
                                ReceiveInterface(locator))) ||
        FAILED(locator.get()->QueryInterface(IID_IPersistFile, ReceiveInterface(file))) ||
        FAILED(file.get()->Load(Wide(path).c_str(), STGM_READ)))
        return L"<unreadable>";
    kesh::win::CoTaskMemory<wchar_t> url;
    if (FAILED(locator.get()->GetURL(url.Receive())) || !url.isValid())
        return L"<none>";
    return url.get();
}

struct LinkContents {
    std::wstring path, arguments, description, folder;
};

LinkContents ReadLink(const kesh::String& path)
{
    LinkContents contents;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                ReceiveInterface(link))) ||
        FAILED(link.get()->QueryInterface(IID_IPersistFile, ReceiveInterface(file))) ||
        FAILED(file.get()->Load(Wide(path).c_str(), STGM_READ)))
        return contents;
    wchar_t text[MAX_PATH * 2] = {};
    link.get()->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH);
    contents.path = text;
    link.get()->GetArguments(text, MAX_PATH * 2);
    contents.arguments = text;
    link.get()->GetDescription(text, MAX_PATH * 2);
    contents.description = text;
    link.get()->GetWorkingDirectory(text, MAX_PATH * 2);
    contents.folder = text;
    return contents;
}

class ShortcutFileTest : public ::testing::Test {
protected:
    ComSession com;
    editortest::TempFolder folder;
    kesh::String where() const { return kesh::fs::Path(folder.path("x")).parent().toString(); }
};

TEST_F(ShortcutFileTest, InternetShortcutIsWrittenFoundAndRemoved)
{
    const ShortcutFile shortcut("norpa261208-001", where());
    EXPECT_STREQ((where() + "\\norpa261208-001.url").c_str(), shortcut.GetPath().c_str());
    EXPECT_FALSE(shortcut.Exists());
    ASSERT_TRUE(shortcut.Create("http://img.norpasoft.com/p/1?a=b&c=d", "", "", ""));
    EXPECT_TRUE(shortcut.Exists());
    EXPECT_EQ(L"http://img.norpasoft.com/p/1?a=b&c=d", ReadUrl(shortcut.GetPath()));

    // Written again over the old file.
    ASSERT_TRUE(shortcut.Create("https://img.norpasoft.com/p/2", "", "", ""));
    EXPECT_EQ(L"https://img.norpasoft.com/p/2", ReadUrl(shortcut.GetPath()));

    EXPECT_TRUE(shortcut.Remove());
    EXPECT_FALSE(shortcut.Exists());
    EXPECT_FALSE(shortcut.Remove());
}

TEST_F(ShortcutFileTest, AnInternetShortcutWithADescriptionNeedsTheLinkInterface)
{
    // Some shells' Internet shortcuts have no link interface: the address
    // alone is written, but a description asked for cannot be, and then
    // nothing is written at all.
    ComPtr<IUniformResourceLocatorW> locator;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IUniformResourceLocatorW, ReceiveInterface(locator)));
    ComPtr<IShellLinkW> link;
    const bool hasLink = SUCCEEDED(locator.get()->QueryInterface(IID_IShellLinkW, ReceiveInterface(link)));
    const ShortcutFile shortcut("described", where());
    EXPECT_EQ(hasLink, shortcut.Create("http://img.norpasoft.com/p/3", "", "a description", ""));
    EXPECT_EQ(hasLink, shortcut.Exists());
    const ShortcutFile plain("plain", where());
    EXPECT_TRUE(plain.Create("http://img.norpasoft.com/p/3", "", "", ""));
}

TEST_F(ShortcutFileTest, LinkToThisProgramInAnyLetterCase)
{
    const kesh::String self = kesh::sys::getProperty("app.path", "");
    ASSERT_FALSE(self.isEmpty());
    for (const char* target : {"_this", "_THIS", "_This"}) {
        const ShortcutFile link("Norpa", where(), false);
        EXPECT_STREQ((where() + "\\Norpa.lnk").c_str(), link.GetPath().c_str());
        ASSERT_TRUE(link.Create(target, "-x 1", "Norpa工具条", "")) << target;
        const LinkContents contents = ReadLink(link.GetPath());
        EXPECT_EQ(Wide(self), contents.path) << target;
        EXPECT_EQ(L"-x 1", contents.arguments) << target;
        EXPECT_EQ(L"Norpa工具条", contents.description) << target;
        EXPECT_EQ(Wide(kesh::fs::Path(self).parent().toString()), contents.folder) << target;
        EXPECT_TRUE(link.Remove());
    }
    // Any other target is the program named.
    const ShortcutFile other("Other", where(), false);
    ASSERT_TRUE(other.Create("C:\\windows\\notepad.exe", "", "", ""));
    EXPECT_EQ(L"C:\\windows\\notepad.exe", ReadLink(other.GetPath()).path);
}

TEST_F(ShortcutFileTest, NoFolderMeansNoFile)
{
    for (bool internet : {true, false}) {
        const ShortcutFile none("Norpa", "", internet);
        EXPECT_STREQ("", none.GetPath().c_str());
        EXPECT_FALSE(none.Exists());
        EXPECT_FALSE(none.Create("http://img.norpasoft.com/", "", "", ""));
        EXPECT_FALSE(none.Remove());
    }
}

TEST_F(ShortcutFileTest, AnyFileOfTheNameCountsAsExisting)
{
    const ShortcutFile shortcut("taken", where());
    std::ofstream(Wide(shortcut.GetPath()).c_str()) << "not a shortcut";
    EXPECT_TRUE(shortcut.Exists());
    EXPECT_FALSE(ShortcutFile("taken", where(), false).Exists());
}

}  // namespace
