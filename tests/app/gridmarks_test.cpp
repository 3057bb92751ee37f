#include "app/gridmarks.h"
#include "support/sandbox.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Deleting a name of a file that keeps another frees nothing: the marks count its bytes once,
// and only while every name of it is marked.
TEST(GridMarks, AFileWithTwoNamesFreesItsBytesOnceBothAreMarked) {
    SandboxWorld world;
    const QString a = world.makeFile("c/a.bin", QByteArray(1000, 'a'));
    const QString b = world.path("c/b.bin");
    ASSERT_EQ(::link(a.toUtf8().constData(), b.toUtf8().constData()), 0);
    const QString single = world.makeFile("c/single.bin", QByteArray(7, 's'));
    const QStringList paths = {a, b, single};
    TextGrid grid(1);
    for (const QString& p : paths)
        grid.appendRow({p});

    GridMarks marks;
    marks.toggle(grid, 1, a);
    EXPECT_EQ(marks.count(), 1);
    EXPECT_EQ(marks.bytes(), 0);
    marks.toggle(grid, 2, b);
    EXPECT_EQ(marks.bytes(), 1000);
    marks.toggle(grid, 3, single);
    EXPECT_EQ(marks.bytes(), 1007);
    marks.toggle(grid, 1, a); // unmarked: the file keeps a name
    EXPECT_EQ(marks.count(), 2);
    EXPECT_EQ(marks.bytes(), 7);
    EXPECT_EQ(marks.statusText(), "2 files 7 bytes");

    marks.markAll(grid, [&paths](int row) { return paths[row - 1]; });
    EXPECT_EQ(marks.count(), 3);
    EXPECT_EQ(marks.bytes(), 1007);
    EXPECT_EQ(marks.files().size(), 3);
}

// The copies of duplicates go by the search's groups, whatever the rows' texts say: each group
// keeps its first row, and a marked row of an earlier run is not carried over.
TEST(GridMarks, CopiesAreEveryRowOfAGroupButItsFirst) {
    TextGrid grid(1);
    const quint32 groups[] = {1, 1, 1, 2, 2, 3, 3, 4, 4, 4};
    QStringList paths;
    for (const quint32 g : groups) {
        paths << QStringLiteral("/x/f%1").arg(paths.size());
        grid.appendRow({QStringLiteral("same text")});
        grid.setGroup(grid.rowCount() - 1, g);
    }
    GridMarks marks;
    marks.toggle(grid, 1, paths[0]);
    marks.markCopies(grid, [&paths](int row) { return paths[row - 1]; });
    EXPECT_EQ(marks.paths(),
              QStringList({paths[1], paths[2], paths[4], paths[6], paths[8], paths[9]}));
    EXPECT_FALSE(grid.isMarked(1));

    // A rule may prefer a later row of a group: the last here.
    marks.markCopies(
        grid, [&paths](int row) { return paths[row - 1]; },
        [](int row, int kept) { return row > kept; });
    EXPECT_EQ(marks.paths(),
              QStringList({paths[0], paths[1], paths[3], paths[5], paths[7], paths[8]}));
}

} // namespace
