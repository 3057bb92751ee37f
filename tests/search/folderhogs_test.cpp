#include "platform/drives.h"
#include "search/folderhogs.h"
#include "support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace folderhogs;

namespace {

struct Row {
    qint64 bytes = 0, files = 0, subfolders = 0;
    bool operator==(const Row& o) const {
        return bytes == o.bytes && files == o.files && subfolders == o.subfolders;
    }
};

// Runs a search over drive C and returns its rows by folder.
QMap<QString, Row> search(Mode mode) {
    Search s(mode);
    s.walker().scanAllDrives({QChar('C')});
    QMap<QString, Row> rows;
    for (const QString& row : s.rows()) {
        const QStringList c = row.split(TextGrid::cellSeparator());
        rows[c[hcName]] = {QLocale().toLongLong(c[hcSize]), c[hcFiles].toLongLong(),
                           c[hcSubfolders].toLongLong()};
    }
    return rows;
}

// The plain model: what a folder holds, read with QDir.
void addFiles(const QString& folder, Row& row, bool recurse) {
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                             QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& e : entries) {
        if (!e.isDir() || e.isSymLink()) {
            ++row.files;
            row.bytes += e.size();
        } else if (!recurse) {
            ++row.subfolders;
        } else if (!e.fileName().startsWith('.')) {
            ++row.subfolders;
            addFiles(e.filePath(), row, true);
        }
    }
}

QMap<QString, Row> model(Mode mode, const QString& root) {
    QMap<QString, Row> rows;
    if (mode == Mode::AllFolders) {
        QStringList pending{root};
        while (!pending.isEmpty()) {
            const QString folder = pending.takeLast();
            addFiles(folder, rows[folder], false);
            for (const QString& sub : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                pending << folder + '/' + sub;
        }
        return rows;
    }
    for (const QString& sub : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        addFiles(root + '/' + sub, rows[root + '/' + sub], true);
    return rows;
}

// A random tree: folders in three levels, some hidden, files of random sizes, some hidden.
void makeTree(SandboxWorld& world, quint32 seed) {
    QRandomGenerator random(seed);
    QStringList folders{QStringLiteral("c")};
    for (int i = 0; i < 40; ++i) {
        const QString parent = folders[int(random.bounded(folders.size()))];
        if (parent.count('/') >= 3)
            continue;
        const QString name =
            (random.bounded(6) == 0 ? QStringLiteral(".H%1") : QStringLiteral("Dir%1")).arg(i);
        folders << world.makeDir(parent + '/' + name).mid(world.root().size() + 1);
    }
    for (int i = 0; i < 200; ++i) {
        const QString folder = folders[int(random.bounded(folders.size()))];
        const QString name =
            (random.bounded(8) == 0 ? QStringLiteral(".f%1") : QStringLiteral("f%1")).arg(i);
        world.makeFile(folder + '/' + name, QByteArray(int(random.bounded(3000)), 'x'));
    }
}

class FolderHogs : public ::testing::Test {
protected:
    void SetUp() override { world.setDrives({"C"}); }
    SandboxWorld world;
};

TEST_F(FolderHogs, TotalsMatchAPlainModelInBothModes) {
    for (quint32 seed = 1; seed <= 4; ++seed) {
        QDir(world.path("c")).removeRecursively();
        makeTree(world, seed);
        for (Mode mode : {Mode::MainFolders, Mode::AllFolders})
            EXPECT_EQ(search(mode), model(mode, world.path("c")))
                << "seed " << seed << " mode " << int(mode);
    }
}

TEST_F(FolderHogs, HiddenFoldersAddNothingButCountAsSubfoldersOfTheirFolder) {
    world.makeFile("c/Main/.cache/a", QByteArray(500, 'a'));
    world.makeFile("c/Main/.cache/b", QByteArray(500, 'b'));
    world.makeFile("c/top.txt", "12");
    const QString main = world.path("c/Main");
    const QMap<QString, Row> top = search(Mode::MainFolders);
    EXPECT_EQ(top.keys(), QStringList{main}); // no row for the drive's root
    EXPECT_EQ(top[main], (Row{0, 0, 0}));
    const QMap<QString, Row> all = search(Mode::AllFolders);
    EXPECT_EQ(all.keys(), QStringList({world.path("c"), main}));
    EXPECT_EQ(all[main], (Row{0, 0, 1}));
    EXPECT_EQ(all[world.path("c")], (Row{2, 1, 1}));
}

TEST_F(FolderHogs, AFileWithSeveralNamesCountsItsBytesOnce) {
    const QString first = world.makeFile("c/A/data", QByteArray(1000, 'd'));
    world.makeDir("c/B");
    ASSERT_EQ(::link(QFile::encodeName(first), QFile::encodeName(world.path("c/B/again"))), 0);
    qint64 bytes = 0, files = 0;
    for (const Row& row : search(Mode::AllFolders)) {
        bytes += row.bytes;
        files += row.files;
    }
    EXPECT_EQ(bytes, 1000);
    EXPECT_EQ(files, 2);
}

TEST_F(FolderHogs, AFolderAsLargeAsTheDriveShowsQuestionMarks) {
    platform::DiskGeometry geometry;
    ASSERT_TRUE(platform::diskGeometry('C', &geometry));
    QFile sparse(world.makeFile("c/Big/sparse"));
    ASSERT_TRUE(sparse.open(QIODevice::ReadWrite));
    if (!sparse.resize(qint64(geometry.capacity())))
        GTEST_SKIP() << "this file system takes no sparse file of " << geometry.capacity();
    sparse.close();
    world.makeFile("c/Small/a", QByteArray(100, 'a'));
    Search s(Mode::MainFolders);
    s.walker().scanAllDrives({QChar('C')});
    QMap<QString, QString> used;
    for (const QString& row : s.rows()) {
        const QStringList c = row.split(TextGrid::cellSeparator());
        used[c[hcName]] = c[hcUsed];
    }
    EXPECT_EQ(used[world.path("c/Big")], "???");
    EXPECT_EQ(used[world.path("c/Small")], QLocale().toString(0.0, 'f', 2));
    EXPECT_EQ(percentUsed(1, 4), QLocale().toString(25.0, 'f', 2));
}

TEST_F(FolderHogs, AnAbortListsTheFolderInProgressAndNothingAfter) {
    for (const char* folder : {"c/a", "c/b", "c/c"})
        for (int i = 0; i < 4; ++i)
            world.makeFile(QStringLiteral("%1/f%2").arg(folder).arg(i), "12345");
    Search s(Mode::AllFolders);
    s.walker().setThreadCount(1);
    auto count = s.walker().callbacks().file;
    int seen = 0;
    QString stoppedIn;
    s.walker().callbacks().file = [&](const scan::WalkFolder& f, const platform::DirEntry& e) {
        count(f, e);
        if (++seen == 6) {
            stoppedIn = f.path;
            s.abort();
        }
    };
    s.walker().scanAllDrives({QChar('C')});
    ASSERT_EQ(s.rows().size(), 2); // one folder finished, the second in progress
    const QStringList last = s.rows().last().split(TextGrid::cellSeparator());
    EXPECT_EQ(last[hcName], stoppedIn);
    EXPECT_EQ(last[hcFiles], "2");
    EXPECT_EQ(last[hcSize], "10");
}

TEST_F(FolderHogs, CopyOrderClipboardAndSizeSort) {
    QStringList rows = {"1\tb", "2\tA", "3\tc"};
    sortCopyOrder(rows);
    EXPECT_EQ(rows, QStringList({"3\tc", "2\tA", "1\tb"}));
    const QChar sep = TextGrid::cellSeparator();
    EXPECT_EQ(clipboardText({QString("1") + sep + "a", "x"}), "1\ta\nx\n");

    TextGrid grid(kColumnCount);
    for (const char* size : {"9,999", "10,000", "5"})
        grid.appendRow({QString::fromLatin1(size), "", "", "", "", "n"});
    SortDirections directions;
    directions.column[hcSize] = SortDirection(true);
    ASSERT_TRUE(sortGrid(grid, hcSize, directions));
    EXPECT_EQ(grid.cell(hcSize, 1), "10,000");
    ASSERT_TRUE(sortGrid(grid, hcSize, directions));
    EXPECT_EQ(grid.cell(hcSize, 1), "5");
    EXPECT_FALSE(sortGrid(grid, hcUsed, directions));
    EXPECT_EQ(printTitle({QChar('c'), QChar('D')}), "Folder hogs on drive(s) C D ");
}

} // namespace
