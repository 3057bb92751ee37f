#include "dup/contentsplit.h"
#include "dup/dupsearch.h"
#include "platform/filesync.h"
#include "support/sandbox.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace dups;

namespace {

// A duplicate grid of the given files (full paths) and group numbers, every other row marked.
TextGrid gridOf(const QStringList& paths, const QList<quint32>& groups) {
    TextGrid grid(columnCount(Mode::Duplicates));
    grid.setHeader(gridHeaders(Mode::Duplicates));
    for (int k = 0; k < paths.size(); ++k) {
        const QFileInfo info(paths[k]);
        QStringList cells(columnCount(Mode::Duplicates));
        cells[dcFilename] = info.fileName();
        cells[dcFolder] = info.path();
        const int row = grid.appendJoinedRow(cells.join(TextGrid::cellSeparator()), k % 2 == 1,
                                             platform::fileStamp(paths[k]).identity());
        grid.setGroup(row, groups[k]);
    }
    return grid;
}

struct Row {
    QString path;
    quint32 group;
    bool marked;
    bool operator==(const Row& o) const {
        return path == o.path && group == o.group && marked == o.marked;
    }
};

QList<Row> rowsOf(const TextGrid& grid) {
    QList<Row> rows;
    for (int row = 1; row < grid.rowCount(); ++row)
        rows.push_back({rowPath(grid, row, Mode::Duplicates), grid.group(row), grid.isMarked(row)});
    return rows;
}

} // namespace

TEST(ContentRequest, RunsOfOneGroupNumberAreTheCandidateGroups) {
    TextGrid grid =
        gridOf({"/a/x", "/b/x", "/c/y", "/d/y", "/e/y", "/f/z", "/g/z"}, {1, 1, 2, 2, 2, 0, 3});
    const ContentRequest request = contentRequest(grid, Mode::Duplicates);
    ASSERT_EQ(request.files.size(), 7);
    EXPECT_EQ(request.files[2].path, QStringLiteral("/c/y"));
    EXPECT_EQ(request.candidates, (QList<QList<qsizetype>>{{0, 1}, {2, 3, 4}, {6}}));
}

TEST(ContentSplit, SplitsGroupsRenumbersAndDropsSingletonsAndProblems) {
    TextGrid grid = gridOf({"/a/x", "/b/x", "/c/x", "/d/x", "/e/y", "/f/y", "/g/z", "/h/z"},
                           {1, 1, 1, 1, 2, 2, 3, 3});
    ContentGroups result;
    // Group 1 holds two contents (rows 1+3 and 2+4), group 2 two different files, group 3 a
    // copy whose second file could not be read.
    result.groups = {{0, 2}, {1, 3}};
    result.problems = {{7, ContentProblem::Unreadable, QStringLiteral("Permission denied")}};
    const QList<LeftOut> left = splitByContents(grid, Mode::Duplicates, result);
    EXPECT_EQ(
        rowsOf(grid),
        (QList<Row>{{"/a/x", 1, false}, {"/c/x", 1, false}, {"/b/x", 2, true}, {"/d/x", 2, true}}));
    ASSERT_EQ(left.size(), 4);
    EXPECT_EQ(left[0].path, QStringLiteral("/e/y"));
    EXPECT_EQ(left[0].reason, QStringLiteral("no other file has its contents"));
    EXPECT_EQ(left[3].path, QStringLiteral("/h/z"));
    EXPECT_EQ(left[3].reason, QStringLiteral("cannot be read: Permission denied"));
    for (int row = 1; row < grid.rowCount(); ++row)
        EXPECT_FALSE(grid.identity(row).known()) << row; // identities travel with their rows
}

TEST(ContentSplit, AbortedAnswerLeavesTheGridAlone) {
    TextGrid grid = gridOf({"/a/x", "/b/x"}, {1, 1});
    ContentGroups result;
    result.aborted = true;
    EXPECT_TRUE(splitByContents(grid, Mode::Duplicates, result).isEmpty());
    EXPECT_EQ(rowsOf(grid), (QList<Row>{{"/a/x", 1, false}, {"/b/x", 1, true}}));
}

// Through the engine: equal names and sizes, different bytes, are no longer duplicates; copies
// stay, each content a group of its own; a file changed after listing is left out.
TEST(ContentSplit, WithTheEngineOnRealFiles) {
    SandboxWorld world;
    const QStringList paths = {
        world.makeFile("c/1/a.txt", "same bytes"), world.makeFile("c/2/a.txt", "other byte"),
        world.makeFile("c/3/a.txt", "same bytes"), world.makeFile("c/1/b.txt", "BBBB"),
        world.makeFile("c/2/b.txt", "BBBB"),       world.makeFile("c/3/b.txt", "BBBB")};
    TextGrid grid = gridOf(paths, {1, 1, 1, 2, 2, 2});
    world.makeFile("c/3/b.txt", "BBBBB"); // changed since listed
    const ContentRequest request = contentRequest(grid, Mode::Duplicates);
    const ContentGroups result = groupByContents(request.files, request.candidates);
    const QList<LeftOut> left = splitByContents(grid, Mode::Duplicates, result);
    EXPECT_EQ(rowsOf(grid), (QList<Row>{{paths[0], 1, false},
                                        {paths[2], 1, false},
                                        {paths[3], 2, true},
                                        {paths[4], 2, false}}));
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left[0].path, paths[1]);
    EXPECT_EQ(left[1].path, paths[5]);
    EXPECT_EQ(left[1].reason, QStringLiteral("changed since it was listed"));
}
