// The editor's command line: what the toolbar writes, the editor reads back;
// and what the editor makes of lines the toolbar never writes.
#include "common/editor_command_line.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(EditorCommandLineTest, TheEditorReadsBackWhatTheToolbarWrites)
{
    struct Case {
        const char* what;
        bool written;            // the toolbar writes these parameters for path, x and y
        const char* parameters;  // after the program's own path
        const char* path;
        long x, y;
    };
    const Case cases[] = {
        {"a capture", true, "\"D:\\pics\\cap261208-003.png\" -x120 -y45", "D:\\pics\\cap261208-003.png", 120, 45},
        {"spaces stay inside the quotes", true, "\"C:\\My Pictures\\a b.png\" -x0 -y0", "C:\\My Pictures\\a b.png", 0,
         0},
        {"the open command: an empty path", true, "\"\" -x-1 -y-1", "", -1, -1},
        {"a monitor left of the primary one", true, "\"C:\\c.png\" -x-1920 -y8", "C:\\c.png", -1920, 8},
        {"a non-ASCII path", true, "\"C:\\图片\\截图.png\" -x3840 -y2160", "C:\\图片\\截图.png", 3840, 2160},
        {"nothing after the program", false, "", "", -1, -1},
        {"a path without quotes or position", false, "a.png", "a.png", -1, -1},
        {"x alone", false, "a.png -x100", "a.png", 100, -1},
        {"values as words of their own", false, "a.png -x 5 -y 6", "a.png", 5, 6},
        {"a value that is not a number", false, "a.png -xabc -y12", "a.png", 0, 12},
        {"values beyond a long clamp", false, "a.png -x99999999999 -y-99999999999", "a.png", LONG_MAX, LONG_MIN},
        {"options first, then two paths: the first", false, "-x10 -y20 b.png second.png", "b.png", 10, 20},
    };
    for (const Case& c : cases) {
        if (c.written) {
            EXPECT_STREQ(c.parameters, EditorParameters(c.path, static_cast<int>(c.x), static_cast<int>(c.y)).c_str())
                << c.what;
        }
        const kesh::String line = kesh::String("\"C:\\Program Files\\Norpa\\vomla.exe\" ") + c.parameters;
        const EditorCommandLine read = ReadEditorCommandLine(*kesh::app::parseArguments(line, kEditorOptionSpec));
        EXPECT_STREQ(c.path, read.imagePath.c_str()) << c.what;
        EXPECT_EQ(c.x, read.x) << c.what;
        EXPECT_EQ(c.y, read.y) << c.what;
    }
}

}  // namespace
