#include "kesh/path.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using kesh::String;
using kesh::fs::Path;

namespace {

std::string currentDirectory()
{
    std::vector<wchar_t> buffer(GetCurrentDirectoryW(0, nullptr) + 1);
    GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    return String(buffer.data()).c_str();
}

std::string currentDriveRoot()
{
    return currentDirectory().substr(0, 2) + "\\";
}

std::string text(const Path& p)
{
    return p.toString().c_str();
}

std::string normalized(const char* input)
{
    return kesh::fs::normalizePath(input).c_str();
}

}  // namespace

TEST(NormalizePathTest, AbsoluteFormsTable)
{
    struct Case {
        const char* input;
        const char* expected;
    } cases[] = {
        {"C:/a/b/", "C:\\a\\b"},
        {"C:\\a\\b\\\\", "C:\\a\\b"},
        {"C:\\a\\.\\b\\..\\c", "C:\\a\\c"},
        {"C:\\a/./b/../../d", "C:\\d"},
        {"C:", "C:\\"},  // a bare drive is its root, not its current folder
        {"C:\\", "C:\\"},
        {"C:/", "C:\\"},
        {"C:\\..", "C:\\"},
        {"/C:/x", "C:\\x"},
        {"\\C:\\x\\", "C:\\x"},
        {"\\\\server\\share\\dir\\..\\f", "\\\\server\\share\\f"},
        {"\\\\\\server\\share", "\\\\server\\share"},
        {"//server/share/x/", "\\\\server\\share\\x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(c.expected, normalized(c.input));
    }
}

TEST(NormalizePathTest, RelativeFormsUseTheCurrentFolderAndDrive)
{
    std::string here = currentDirectory();
    const std::string below = here.back() == '\\' ? here : here + "\\";
    if (here.size() > 3 && here.back() == '\\') here.pop_back();
    EXPECT_EQ(below + "sub\\x", normalized("sub/x/"));
    EXPECT_EQ(here, normalized("."));
    EXPECT_EQ(currentDriveRoot() + "rooted", normalized("\\rooted"));
    EXPECT_EQ(currentDriveRoot(), normalized(""));
}

TEST(NormalizePathTest, LongPathsStayWhole)
{
    std::string input = "C:";
    for (int i = 0; i < 40; ++i) input += "/abcdefghij";
    input += "/";
    ASSERT_GT(input.size(), 400u);
    std::string expected = input.substr(0, input.size() - 1);
    for (char& c : expected)
        if (c == '/') c = '\\';
    EXPECT_EQ(expected, normalized(input.c_str()));
    EXPECT_EQ(expected.substr(0, expected.size() - 11), text(Path(input.c_str()).parent()));
}

TEST(NormalizePathTest, StripTrailingSeparatorKeepsADriveRoot)
{
    struct Case {
        const char* input;
        const char* expected;
    } cases[] = {
        {"C:\\", "C:\\"}, {"C:\\\\", "C:\\"}, {"X:/", "X:/"}, {"a\\/", "a"},
        {"\\", ""},       {"", ""},           {"C:\\a", "C:\\a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_STREQ(c.expected, kesh::fs::stripTrailingSeparator(c.input).c_str());
    }
}

TEST(PathTest, EmptyTextGivesTheEmptyPath)
{
    EXPECT_TRUE(Path().isEmpty());
    EXPECT_TRUE(Path("").isEmpty());
    EXPECT_EQ("C:\\x", text(Path("C:/x/")));
}

TEST(PathTest, ParentStopsAtRoots)
{
    struct Case {
        const char* path;
        const char* parent;
    } cases[] = {
        {"C:\\a\\b", "C:\\a"},
        {"C:\\a", "C:\\"},
        {"C:\\", ""},
        {"\\\\server\\share\\dir", "\\\\server\\share"},
        {"\\\\server\\share", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.parent, text(Path(c.path).parent()));
    }
    EXPECT_EQ(currentDriveRoot(), text(Path().parent()));
}

TEST(PathTest, ChildAppendsAndNormalisesOperatorSlashCopies)
{
    Path base("C:\\x");
    EXPECT_EQ("C:\\x\\a\\b", text(Path(base).child("a/b")));
    EXPECT_EQ("C:\\y", text(Path(base).child("..\\y")));
    EXPECT_EQ("C:\\x", text(Path(base).child(".")));
    Path chained("C:\\x");
    chained.child("a").child("b\\");
    EXPECT_EQ("C:\\x\\a\\b", text(chained));

    const Path joined = base / "d/e.txt";
    EXPECT_EQ("C:\\x\\d\\e.txt", text(joined));
    EXPECT_EQ("C:\\x", text(base));
    EXPECT_EQ(currentDriveRoot() + "n", text(Path().child("n")));
}

TEST(PathTest, NameTitleAndExtension)
{
    struct Case {
        const char* path;
        const char* name;
        const char* title;
        const char* extension;
    } cases[] = {
        {"C:\\d\\photo.final.png", "photo.final.png", "photo.final", ".png"},
        {"C:\\d\\README", "README", "README", ""},
        {"C:\\d.x\\plain", "plain", "plain", ""},
        {"C:\\d\\.hidden", ".hidden", "", ".hidden"},
        {"C:\\", "", "", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const Path p(c.path);
        EXPECT_STREQ(c.name, p.getName().c_str());
        EXPECT_STREQ(c.title, p.getTitle().c_str());
        EXPECT_STREQ(c.extension, p.getExtension().c_str());
    }
}
