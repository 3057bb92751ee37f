#include "platform/dirsearch.h"
#include "scan/search.h"
#include "support/sandbox.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

// The smallest search: it finds nothing, it only walks.
class BareSearch : public scan::Search {
public:
    BareSearch() = default;
    explicit BareSearch(const bool& flag) : scan::Search(flag) {}
};

class SearchSkips : public ::testing::Test {
protected:
    void TearDown() override { platform::clearOpenFaults(); }
    SandboxWorld world;
};

} // namespace

TEST_F(SearchSkips, TheFoldersTheWalkPassedOverAreCountedWithTheirReasons) {
    world.makeFile("c/a/x.txt", "x");
    world.makeFile("c/b/deep/y.txt", "y");
    world.makeFile("c/ok/z.txt", "z");
    const QString c = world.path("c");
    platform::setOpenFault(c + "/a", EACCES);
    platform::setOpenFault(c + "/b/deep", ENOENT);
    for (int threads : {1, 2}) {
        BareSearch search;
        search.walker().setThreadCount(threads);
        ASSERT_TRUE(search.walker().walkTree(c));
        ASSERT_EQ(search.skippedCount(), 2);
        QStringList lines;
        for (const scan::SkippedFolder& f : search.skippedFolders())
            lines << f.path + " " + f.reason;
        lines.sort();
        EXPECT_EQ(lines, QStringList({c + "/a " + platform::errorText(EACCES),
                                      c + "/b/deep " + platform::errorText(ENOENT)}));
        EXPECT_EQ(search.walker().fileCount(), 1); // ok/z.txt only
        search.clearSkipped();
        EXPECT_EQ(search.skippedCount(), 0);
        EXPECT_TRUE(search.skippedFolders().isEmpty());
    }
}

TEST_F(SearchSkips, AbortStopsTheWalkAndTheCallersFlagToo) {
    for (int i = 0; i < 5; ++i)
        world.makeFile(QString("c/f%1.txt").arg(i), "x");
    BareSearch own;
    int files = 0;
    own.walker().callbacks().file = [&](const scan::WalkFolder&, const platform::DirEntry&) {
        if (++files == 2)
            own.abort();
    };
    own.walker().walkTree(world.path("c"));
    EXPECT_EQ(files, 2);

    bool flag = true; // set before the walk: nothing is walked
    BareSearch flagged(flag);
    EXPECT_FALSE(flagged.walker().walkTree(world.path("c")));
}

TEST(SearchSkipTexts, CountAndListRead) {
    EXPECT_EQ(scan::skippedText(0), QString());
    EXPECT_EQ(scan::skippedText(1), "1 folder could not be read");
    EXPECT_EQ(scan::skippedText(3), "3 folders could not be read");
    const QList<scan::SkippedFolder> two{{"/c/a", "Permission denied"}, {"/c/b", "Gone"}};
    EXPECT_EQ(scan::skippedListText(two, 2), "/c/a: Permission denied\n/c/b: Gone");
    EXPECT_EQ(scan::skippedListText(two, 5), "/c/a: Permission denied\n/c/b: Gone\n... and 3 more");
}
