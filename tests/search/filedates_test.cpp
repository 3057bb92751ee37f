#include "app/format.h"
#include "search/filedates.h"
#include "support/sandbox.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using dates::When;

TEST(DateTest, BoundsAreInclusiveAndAMissingDatePassesOnlyOnOrBefore) {
    const QDate start(2026, 3, 10), end(2026, 3, 20);
    const struct {
        When when;
        QDate file;
        bool passes;
    } cases[] = {
        {When::Between, start, true},
        {When::Between, end, true},
        {When::Between, end.addDays(1), false},
        {When::Between, start.addDays(-1), false},
        {When::OnOrBefore, start, true},
        {When::OnOrBefore, start.addDays(1), false},
        {When::OnOrAfter, start, true},
        {When::OnOrAfter, end.addYears(5), true},
        {When::OnOrAfter, start.addDays(-1), false},
        {When::OnOrBefore, QDate(), true},
        {When::Between, QDate(), false},
        {When::OnOrAfter, QDate(), false},
    };
    for (const auto& c : cases) {
        // "On or After" and "On or Before" ignore the end, even one before the start.
        const QDate endDate = c.when == When::Between ? end : start.addDays(-30);
        EXPECT_EQ((dates::DateTest{c.when, start, endDate}.passes(c.file)), c.passes)
            << int(c.when) << " " << c.file.toString().toStdString();
    }
}

class DatesWorld : public ::testing::Test {
protected:
    QString file(const QString& rel, const QDateTime& modified, const QByteArray& data = "x") {
        const QString path = world.makeFile("c/" + rel, data);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadWrite));
        EXPECT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
        return path;
    }
    QStringList search(When when, const QDate& start, const QDate& end) {
        dates::SearchSettings settings;
        settings.kind = dates::Kind::Modified;
        settings.test = {when, start, end};
        dates::Search s(settings, grid);
        s.walker().walkTree(world.path("c"));
        QStringList paths;
        for (int row = 1; row < grid.rowCount(); ++row)
            paths << dates::rowPath(grid, row).mid(world.path("c/").size());
        paths.sort();
        return paths;
    }
    SandboxWorld world;
    TextGrid grid;
};

TEST_F(DatesWorld, TheLastMinuteOfTheEndDatePassesAndHiddenPlacesNever) {
    const QDate end(2026, 5, 31);
    file("late.txt", QDateTime(end, QTime(23, 59)));
    file("next.txt", QDateTime(end.addDays(1), QTime(0, 0)));
    file("early.txt", QDateTime(QDate(2026, 5, 1), QTime(0, 0)));
    file(".hidden.txt", QDateTime(end, QTime(12, 0)));
    file(".cache/inside.txt", QDateTime(end, QTime(12, 0)));
    file("sub/deep.txt", QDateTime(end, QTime(12, 0)), QByteArray(12345, 'd'));

    EXPECT_EQ(search(When::Between, QDate(2026, 5, 1), end),
              (QStringList{"early.txt", "late.txt", "sub/deep.txt"}));
    EXPECT_EQ(search(When::OnOrAfter, end, QDate(2000, 1, 1)),
              (QStringList{"late.txt", "next.txt", "sub/deep.txt"}));
    EXPECT_EQ(search(When::OnOrBefore, QDate(2026, 5, 2), QDate()), QStringList{"early.txt"});

    // The row of a file: its three dates as text, its size and its folder as found.
    search(When::Between, end, end);
    for (int row = 1; row < grid.rowCount(); ++row)
        if (grid.cell(dates::mcFilename, row) == "deep.txt") {
            EXPECT_EQ(grid.cell(dates::mcSize, row), "12,345");
            EXPECT_EQ(grid.cell(dates::mcFolder, row), world.path("c/sub"));
            EXPECT_EQ(grid.cell(dates::mcModified, row),
                      QLocale().toString(end, shortDateFormat()));
            EXPECT_FALSE(grid.cell(dates::mcAccessed, row).isEmpty());
        }
}

TEST(DatesSort, NumbersByValueAndEachColumnAlternates) {
    TextGrid grid(dates::kColumnCount);
    grid.setHeader(dates::gridHeaders());
    grid.appendRow({"b", "", "", "", "10,000", "/x", ""});
    grid.appendRow({"a", "", "", "", "9,999", "/x", ""});
    grid.appendRow({"c", "", "", "", "200", "/x", ""});
    dates::SortDirections directions;
    dates::sortGrid(grid, dates::mcSize, directions);
    EXPECT_EQ(grid.cell(dates::mcSize, 1), "200");
    EXPECT_EQ(grid.cell(dates::mcSize, 3), "10,000");
    dates::sortGrid(grid, dates::mcFilename, directions);
    EXPECT_EQ(grid.cell(dates::mcFilename, 1), "a");
    dates::sortGrid(grid, dates::mcFilename, directions);
    EXPECT_EQ(grid.cell(dates::mcFilename, 1), "c");
    EXPECT_EQ(dates::rowPath(grid, 1), "/x/c");
}

TEST(DatesPaths, NamesKeepTheirBlanks) {
    TextGrid grid(dates::kColumnCount);
    grid.setHeader(dates::gridHeaders());
    grid.appendRow({"keep.txt ", "", "", "", "1", "/x", ""});
    grid.appendRow({" lead.txt", "", "", "", "1", "/x/", ""});
    EXPECT_EQ(dates::rowPath(grid, 1), "/x/keep.txt ");
    EXPECT_EQ(dates::rowPath(grid, 2), "/x/ lead.txt");
}

TEST(DatesTitle, NamesTheKindAndTheRange) {
    EXPECT_EQ(dates::printTitle(dates::Kind::Accessed, When::Between, "1/2/97", "3/4/97"),
              "Files Last accessed between 1/2/97 and 3/4/97");
    EXPECT_EQ(dates::printTitle(dates::Kind::Modified, When::OnOrAfter, "1/2/97", "x"),
              "Files Modified after 1/2/97");
    EXPECT_EQ(dates::printTitle(dates::Kind::Created, When::OnOrBefore, "1/2/97", "x"),
              "Files Created before 1/2/97");
}

} // namespace
