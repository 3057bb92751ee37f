#include "app/format.h"
#include "browse/folderlisting.h"
#include "platform/dirsearch.h"
#include "support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <errno.h>
#include <gtest/gtest.h>

using namespace browse;

namespace {

void setTimes(const QString& path, const QDateTime& written, const QDateTime& accessed) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(written, QFileDevice::FileModificationTime));
    ASSERT_TRUE(f.setFileTime(accessed, QFileDevice::FileAccessTime));
}

// The rows a listing should have, worked out with Qt's own file listing: every entry but
// folders, names matched as wildcards ignoring case, ascending by name ignoring case, times to
// the even second below.
QList<QStringList> expectedRows(const QString& folder, const QString& pattern) {
    QDir dir(folder);
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(pattern),
                                   QRegularExpression::CaseInsensitiveOption);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&](const QString& n) {
                                   return pattern != "*.*" && !match.match(n).hasMatch();
                               }),
                names.end());
    sortIgnoringCase(names);
    QList<QStringList> rows;
    const QLocale locale;
    for (const QString& name : names) {
        const QFileInfo info(dir.filePath(name));
        const QDateTime written = info.lastModified(), accessed = info.lastRead();
        const auto date = [&](const QDateTime& t) {
            return t.date().year() < 1980 ? QString()
                                          : locale.toString(t.date(), shortDateFormat());
        };
        QTime time = written.time();
        time = QTime(time.hour(), time.minute(), time.second() / 2 * 2);
        rows << QStringList{
            date(written),
            date(written).isEmpty() ? QString() : locale.toString(time, longTimeFormat()),
            date(accessed),
            FormatThousands(info.size()),
            name,
            QString()};
    }
    return rows;
}

QList<QStringList> shownRows(const TextGrid& grid) {
    QList<QStringList> rows;
    for (int r = 1; r < grid.rowCount(); ++r) {
        QStringList cells = grid.rowCells(r);
        cells[bcType].clear(); // the type names come from the registry view
        rows << cells;
    }
    return rows;
}

} // namespace

TEST(FolderListing, RowsAgreeWithAPlainListing) {
    SandboxWorld world;
    world.setDrives({"C"});
    const QString folder = world.makeDir("c/f");
    world.makeFile("c/f/b.txt", QByteArray(1234, 'b'));
    world.makeFile("c/f/A.TXT", "a");
    world.makeFile("c/f/.hidden.txt", "hh");
    world.makeFile("c/f/readme", QByteArray(70000, 'r'));
    world.makeFile("c/f/sub/inner.txt", "not listed");
    setTimes(folder + "/b.txt", QDateTime(QDate(2021, 3, 4), QTime(10, 20, 31)),
             QDateTime(QDate(2022, 5, 6), QTime(7, 8, 9)));
    setTimes(folder + "/A.TXT", QDateTime(QDate(1975, 1, 1), QTime(12, 0)),
             QDateTime(QDate(1979, 12, 31), QTime(23, 0)));

    for (const QString pattern : {"*.*", "*.txt", "?.TXT", "nothing*"}) {
        TextGrid grid;
        const Listing listing = fillGrid(grid, folder, pattern);
        const QList<QStringList> expected = expectedRows(folder, pattern);
        EXPECT_TRUE(listing.error.isEmpty());
        EXPECT_EQ(listing.files, expected.size()) << pattern.toStdString();
        EXPECT_EQ(grid.rowCells(0), gridHeaders());
        if (expected.isEmpty()) {
            // One empty row stands for no files.
            EXPECT_EQ(grid.rowCount(), 2);
            EXPECT_EQ(grid.rowCells(1).join(""), "");
            EXPECT_TRUE(rowPath(grid, folder, 1).isEmpty());
            continue;
        }
        EXPECT_EQ(shownRows(grid), expected) << pattern.toStdString();
        qint64 total = 0;
        for (int r = 1; r < grid.rowCount(); ++r) {
            const QString path = rowPath(grid, folder, r);
            platform::DirEntry entry;
            ASSERT_TRUE(platform::lookUpEntry(path, &entry));
            EXPECT_EQ(grid.identity(r).inode, entry.inode);
            total += entry.size;
        }
        EXPECT_EQ(listing.totalBytes, total);
    }
    // Every file has its type, a file without extension the one its whole name matches ("readme"
    // is a README document).  A link is listed as itself.
    ASSERT_TRUE(QFile::link("b.txt", folder + "/link.txt"));
    TextGrid grid;
    EXPECT_EQ(fillGrid(grid, folder, "*.*").files, 5);
    for (int r = 1; r < grid.rowCount(); ++r) {
        EXPECT_FALSE(grid.cell(bcType, r).isEmpty());
        if (grid.cell(bcFilename, r) == "readme") {
            EXPECT_EQ(grid.cell(bcType, r),
                      QMimeDatabase().mimeTypeForName("text/x-readme").comment());
        }
        if (grid.cell(bcFilename, r) == "link.txt") {
            EXPECT_EQ(grid.cell(bcSize, r), "5");
        }
    }
}

TEST(FolderListing, SortsByEachCommandsColumnAndKind) {
    SandboxWorld world;
    world.setDrives({"C"});
    const QString folder = world.makeDir("c/s");
    // Names, sizes and dates each in another order; sizes that sort wrongly as text.
    const struct {
        const char* name;
        int size;
        int year;
    } files[] = {{"b.zip", 9, 2003}, {"c.doc", 1000, 2001}, {"a.txt", 10, 2002}};
    for (const auto& f : files) {
        const QString path =
            world.makeFile(QStringLiteral("c/s/") + f.name, QByteArray(f.size, 'x'));
        setTimes(path, QDateTime(QDate(f.year, 1, 1), QTime(0, 0)),
                 QDateTime(QDate(f.year + 10, 1, 1), QTime(0, 0)));
    }
    const auto names = [](const TextGrid& g) {
        QStringList n;
        for (int r = 1; r < g.rowCount(); ++r)
            n << g.cell(bcFilename, r);
        return n;
    };
    TextGrid grid;
    fillGrid(grid, folder, "*.*");
    EXPECT_EQ(names(grid), QStringList({"a.txt", "b.zip", "c.doc"}));
    sortRows(grid, SortItem::Size, false);
    EXPECT_EQ(names(grid), QStringList({"b.zip", "a.txt", "c.doc"}));
    sortRows(grid, SortItem::Modified, false);
    EXPECT_EQ(names(grid), QStringList({"c.doc", "a.txt", "b.zip"}));
    sortRows(grid, SortItem::Access, true);
    EXPECT_EQ(names(grid), QStringList({"b.zip", "a.txt", "c.doc"}));
    sortRows(grid, SortItem::Name, true);
    EXPECT_EQ(names(grid), QStringList({"c.doc", "b.zip", "a.txt"}));

    EXPECT_EQ(sortItemForColumn(bcTime), std::nullopt);
    EXPECT_EQ(sortItemForColumn(bcFilename), SortItem::Name);
    EXPECT_EQ(sortItemForColumn(bcAccess), SortItem::Access);
}

TEST(FolderListing, AFolderThatCannotBeReadListsNothingAndSaysWhy) {
    SandboxWorld world;
    world.setDrives({"C"});
    const QString folder = world.makeDir("c/locked");
    world.makeFile("c/locked/a.txt", "a");
    platform::setOpenFault(folder, EACCES);
    TextGrid grid;
    const Listing listing = fillGrid(grid, folder, "*.*");
    platform::clearOpenFaults();
    EXPECT_FALSE(listing.error.isEmpty());
    EXPECT_EQ(listing.files, 0);
    EXPECT_EQ(grid.rowCount(), 2);
}
