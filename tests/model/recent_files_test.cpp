#include <gtest/gtest.h>

#include "model/recent_files.h"

namespace velmorin {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentFiles, NewestFirstAtMostFourAndAReusedFileMovesUp) {
    RecentFileList list;
    for (const char* path : {"/a.ldr", "/b.ldr", "/c.ldr", "/a.ldr"}) list.Add(path);
    EXPECT_EQ(list.entries(), (Paths{"/a.ldr", "/c.ldr", "/b.ldr"}));
    list.Add("/a.ldr");
    list.Add("");
    EXPECT_EQ(list.size(), 3);
    for (const char* path : {"/d.ldr", "/e.ldr"}) list.Add(path);
    EXPECT_EQ(list.entries(), (Paths{"/e.ldr", "/d.ldr", "/a.ldr", "/c.ldr"}));
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
