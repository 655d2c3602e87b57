// Opening a folder in Explorer.
#include "common_ui/open_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(OpenFolderTest, ExplorerIsGivenTheFolderInQuotesForANewWindow)
{
    EXPECT_EQ(L"/n,\"C:\\Users\\a b\\My Norpa\\History\"",
              ExplorerParametersFor("C:\\Users\\a b\\My Norpa\\History"));
}

}  // namespace
