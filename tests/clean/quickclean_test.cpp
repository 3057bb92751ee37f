#include "clean/quickclean.h"
#include "support/entrybuilders.h"
#include "support/sandbox.h"

#include <QFile>
#include <gtest/gtest.h>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

class QuickCleanSearch : public ::testing::Test {
protected:
    QString c(const QString& relative) const { return world.path("c/" + relative); }

    // A blocking walk of drive C's folder with these patterns; the FileName column of the
    // result, top to bottom.
    QStringList scan(const QStringList& patterns) {
        QStringList items;
        for (const QString& p : patterns)
            items << tempfiles::itemOf(p);
        quickclean::Search search(items);
        search.scanTree(world.path("c"));
        TextGrid grid;
        const int rows = search.fillGrid(grid, directions);
        QStringList paths;
        for (int row = 1; row <= rows; ++row)
            paths << grid.cell(dups::hcFileName, row);
        lastGrid = grid.rowCount();
        return paths;
    }

    SandboxWorld world;
    dups::SortDirections directions;
    int lastGrid = 0;
};

} // namespace

TEST_F(QuickCleanSearch, DollarPatternFindsSetupOnly) {
    const QString setup = world.makeFile("c/SETUP.$$$", "x");
    world.makeFile("c/setup.tmp", "x");
    world.makeFile("c/setup.$$", "x");
    world.makeFile("c/$$$", "x");
    EXPECT_EQ(scan({"*.$$$"}), QStringList({setup}));
}

TEST_F(QuickCleanSearch, HiddenFilesYesHiddenFoldersAndLinksNo) {
    const QString hidden = world.makeFile("c/a/.cache.tmp", "12");
    const QString dotOnly = world.makeFile("c/a/.tmp", "1");
    world.makeFile("c/.hidden/inside.tmp", "123");
    world.makeFile("c/a/.hidden/deeper/inside.tmp", "123");
    world.makeFile("c/a/target.txt", "1234");
    ASSERT_TRUE(scantest::makeLink(c("a/target.txt"), c("a/link.tmp")));
    ASSERT_TRUE(scantest::makeFifo(c("a/fifo.tmp")));
    world.makeFile("c/a/x.tmp.old", "1");
    EXPECT_EQ(scan({"*.tmp"}), QStringList({hidden, dotOnly}));
}

TEST_F(QuickCleanSearch, LargestFirstAndTheSizeSortAscendingNext) {
    const QString small = world.makeFile("c/s.tmp", QByteArray(10, 'x'));
    const QString big = world.makeFile("c/deep/er/B.BAK", QByteArray(3000, 'x'));
    const QString middle = world.makeFile("c/deep/m.fts", QByteArray(200, 'x'));
    world.makeFile("c/deep/other.txt", QByteArray(9000, 'x'));
    directions.size = SortDirection(true);
    EXPECT_EQ(scan({"*.tmp", "*.bak", "*.fts"}), QStringList({big, middle, small}));
    EXPECT_FALSE(directions.size.peek());
    EXPECT_EQ(lastGrid, 4);
}

TEST_F(QuickCleanSearch, TextsOfTheWindow) {
    EXPECT_EQ(quickclean::foundText(1024), "1,024 tempfiles found");
    EXPECT_EQ(quickclean::printTitle({"c: [/]", "d: [/home]"}), "Temporary files on drive(s) C D ");
    EXPECT_EQ(quickclean::printTitle({}), "Temporary files on drive(s) ");
}
