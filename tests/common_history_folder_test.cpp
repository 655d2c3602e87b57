// The history folder both programs share: its root made where it is
// missing, and the dated names of its files.
#include "common/history_folder.h"

#include "kesh/string.h"
#include "kesh/time.h"
#include "tests/editor_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <set>

namespace {

TEST(HistoryFolderTest, MakesTheRootWithItsParents)
{
    editortest::TempFolder folder;
    const kesh::String home = folder.path("home");
    const kesh::String root = HistoryRootUnder(home);
    EXPECT_STREQ((home + "\\My Norpa\\History").c_str(), root.c_str());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(kesh::Wide(root).c_str()));
    // A second call finds it and gives the same path.
    EXPECT_STREQ(root.c_str(), HistoryRootUnder(home).c_str());
    for (const char* made : {"home\\My Norpa\\History", "home\\My Norpa", "home"})
        RemoveDirectoryW(kesh::Wide(folder.path(made)).c_str());
}

TEST(DatedNameTest, TakesTheFirstFreeNumberOfTheDay)
{
    // 8 December 2026, 12:00 in the local zone (the name uses local time).
    const kesh::Time day(1796731200 - kesh::timeZoneBias() * 60);
    struct Case {
        const char* what;
        std::set<int> taken;
        const char* expected;
    };
    const Case cases[] = {
        {"an empty folder", {}, "norpa261208-001"},
        {"after 001 and 002", {1, 2}, "norpa261208-003"},
        {"a gap left by a deleted file", {2}, "norpa261208-001"},
        {"past 999", [] { std::set<int> all; for (int n = 1; n <= 999; ++n) all.insert(n); return all; }(),
         "norpa261208-1000"},
    };
    for (const Case& c : cases) {
        const kesh::String name = FirstFreeDatedName("norpa", day, [&](const kesh::String& candidate) {
            const long n = candidate.substr(candidate.rfind("-") + 1).toLong(10);
            return c.taken.count(static_cast<int>(n)) > 0;
        });
        EXPECT_STREQ(c.expected, name.c_str()) << c.what;
    }
    EXPECT_STREQ("cap261208-001", FirstFreeDatedName("cap", day, [](const kesh::String&) { return false; }).c_str());
}

}  // namespace
