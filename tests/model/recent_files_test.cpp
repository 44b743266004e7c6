#include <gtest/gtest.h>

#include "model/recent_files.h"

namespace velmorin {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentFiles, NewestFirstAndAtMostFour) {
    RecentFileList list;
    for (const char* path : {"/a.ldr", "/b.ldr", "/c.ldr", "/d.ldr", "/e.ldr"}) list.Add(path);
    EXPECT_EQ(list.entries(), (Paths{"/e.ldr", "/d.ldr", "/c.ldr", "/b.ldr"}));
}

TEST(RecentFiles, AReusedFileMovesUpInsteadOfRepeating) {
    RecentFileList list;
    list.Add("/a.ldr");
    list.Add("/b.ldr");
    list.Add("/c.ldr");
    list.Add("/a.ldr");
    EXPECT_EQ(list.entries(), (Paths{"/a.ldr", "/c.ldr", "/b.ldr"}));
    list.Add("/a.ldr");
    EXPECT_EQ(list.size(), 3);
    list.Add("");
    EXPECT_EQ(list.size(), 3);
}

TEST(RecentFiles, AssignDropsEmptiesAndRepeatsAndCaps) {
    RecentFileList list;
    list.Add("/old.ldr");
    list.Assign({"", "/a.ldr", "/a.ldr", "/b.ldr", "/c.ldr", "/d.ldr", "/e.ldr"});
    EXPECT_EQ(list.entries(), (Paths{"/a.ldr", "/b.ldr", "/c.ldr", "/d.ldr"}));
    list.Clear();
    EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace velmorin
