#include "app/format.h"
#include "app/gridmarks.h"
#include "dup/dupsearch.h"
#include "platform/filesync.h"
#include "support/sandbox.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <gtest/gtest.h>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

using namespace dups;

// A world with drive C and a registry that describes .aaa and .bbb alike and .ccc otherwise.
class DupSearch : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C"});
        world.useRegistry("REGEDIT4\n"
                          "[HKEY_CLASSES_ROOT\\.aaa]\n@=\"pic.file\"\n"
                          "[HKEY_CLASSES_ROOT\\.bbb]\n@=\"pic.file\"\n"
                          "[HKEY_CLASSES_ROOT\\pic.file]\n@=\"Picture file\"\n"
                          "[HKEY_CLASSES_ROOT\\.ccc]\n@=\"other.file\"\n"
                          "[HKEY_CLASSES_ROOT\\other.file]\n@=\"Other file\"\n");
    }

    // A file of `size` bytes below drive C, last written at `when` (seconds since the epoch).
    QString file(const QString& relative, qint64 size, qint64 when = kNoon) {
        const QString path = world.makeFile("c/" + relative, QByteArray(int(size), 'x'));
        EXPECT_TRUE(platform::setFileTimes(path, when));
        return path;
    }

    // Runs a search over drive C and returns the grid's rows (without the header).
    QList<QStringList> search(Mode mode, Criterion criterion, SizeFilter filter = {}) {
        SearchSettings settings;
        settings.mode = mode;
        settings.criterion = criterion;
        settings.filter = filter;
        abort = false;
        Search s(abort, settings);
        s.scanDrives({'C'});
        grid = TextGrid(columnCount(mode));
        grid.setHeader(gridHeaders(mode));
        const int rows = s.fillGrid(grid, directions);
        EXPECT_EQ(rows, grid.rowCount() - 1);
        QList<QStringList> out;
        for (int r = 1; r < grid.rowCount(); ++r)
            out << grid.rowCells(r);
        return out;
    }

    static QStringList column(const QList<QStringList>& rows, int c) {
        QStringList out;
        for (const QStringList& row : rows)
            out << row.value(c);
        return out;
    }

    static constexpr qint64 kNoon = 1780000000; // 2026-05-28, around noon
    SandboxWorld world;
    bool abort = false;
    TextGrid grid;
    SortDirections directions;
};

TEST(SizeFilterTest, LimitsAreInclusive) {
    const SizeFilter larger{SizeRule::LargerOrEqual, limitBytes(250, true), 0};
    EXPECT_FALSE(larger.passes(255999));
    EXPECT_TRUE(larger.passes(256000));
    const SizeFilter smaller{SizeRule::SmallerOrEqual, limitBytes(100, false), 0};
    EXPECT_TRUE(smaller.passes(100));
    EXPECT_FALSE(smaller.passes(101));
    const SizeFilter equal{SizeRule::Between, 4096, 4096};
    EXPECT_FALSE(equal.passes(4095));
    EXPECT_TRUE(equal.passes(4096));
    EXPECT_FALSE(equal.passes(4097));
    // Sizes beyond 32 bits are compared as they are.
    EXPECT_TRUE(larger.passes(qint64(5) << 32));
}

TEST_F(DupSearch, DefaultLimitFindsExactly250KB) {
    file("small.dat", 255999);
    file("big.dat", 256000);
    file("bigtoo.dat", 256000);
    const auto rows =
        search(Mode::FileHogs, SizeOnly, {SizeRule::LargerOrEqual, limitBytes(250, true), 0});
    EXPECT_EQ(column(rows, hcFileName),
              QStringList({world.path("c/bigtoo.dat"), world.path("c/big.dat")}));
}

TEST_F(DupSearch, FilenameOnlyIgnoresCaseAcrossFolders) {
    file("one/README.TXT", 10);
    file("two/readme.txt", 20);
    file("two/other.txt", 10);
    const auto rows = search(Mode::Duplicates, FilenameOnly);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(column(rows, dcFilename), QStringList({"README.TXT", "readme.txt"}));
    EXPECT_EQ(column(rows, dcFolder), QStringList({world.path("c/one"), world.path("c/two")}));
    // Every row shows name, size, dates, folder and type in the grid's order.
    const QDateTime local = QDateTime::fromSecsSinceEpoch(kNoon, Qt::LocalTime);
    EXPECT_EQ(rows[0][dcSize], "10");
    EXPECT_EQ(rows[0][dcModified], QLocale().toString(local.date(), shortDateFormat()));
    EXPECT_EQ(rows[0][dcTime], QLocale().toString(local.time(), longTimeFormat()));
    EXPECT_EQ(rows[0][dcAccess], rows[0][dcModified]);
    EXPECT_EQ(rows[1][dcSize], "20");
}

TEST_F(DupSearch, SizeOnlyGroupsAndLeavesOutLoneSizes) {
    file("a/x.bin", 1024);
    file("b/y.bin", 1024);
    file("c/z.bin", 1024);
    file("d/lone.bin", 1000);
    const auto rows = search(Mode::Duplicates, SizeOnly);
    EXPECT_EQ(column(rows, dcSize), QStringList({"1,024", "1,024", "1,024"}));
    EXPECT_EQ(column(rows, dcFilename), QStringList({"x.bin", "y.bin", "z.bin"}));
}

TEST_F(DupSearch, SizesOrderAsText) {
    // "10,000" comes before "2,000": the size leads the line and lines order as text.
    for (Criterion c : {SizeOnly, SizeDateTime, SizeAndType}) {
        SCOPED_TRACE(c);
        file("p/a.aaa", 2000);
        file("q/b.aaa", 2000);
        file("p/c.aaa", 10000);
        file("q/d.aaa", 10000);
        const auto rows = search(Mode::Duplicates, c);
        EXPECT_EQ(column(rows, dcSize), QStringList({"10,000", "10,000", "2,000", "2,000"}));
    }
}

TEST_F(DupSearch, SizeAndTypeMatchesExtensionsOfOneDescription) {
    file("a/one.aaa", 500);
    file("b/two.bbb", 500);
    file("c/three.ccc", 500);
    const auto rows = search(Mode::Duplicates, SizeAndType);
    EXPECT_EQ(column(rows, dcFilename), QStringList({"one.aaa", "two.bbb"}));
    EXPECT_EQ(column(rows, dcType), QStringList({"Picture file", "Picture file"}));
}

TEST_F(DupSearch, KeyedCriteriaFindGroupsSplitByOtherFiles) {
    // Sorted by size and name, "b" lies between "a" and "c"; they still form a group.
    file("a.dat", 300, kNoon);
    file("b.dat", 300, kNoon + 3600);
    file("c.dat", 300, kNoon);
    const auto rows = search(Mode::Duplicates, SizeDateTime);
    EXPECT_EQ(column(rows, dcFilename), QStringList({"a.dat", "c.dat"}));
}

TEST_F(DupSearch, DateCriteriaUseTheTimeToo) {
    file("x/same.txt", 5, kNoon);
    file("y/same.txt", 5, kNoon + 1); // the same packed time (two-second steps)
    file("z/same.txt", 5, kNoon + 60);
    EXPECT_EQ(search(Mode::Duplicates, FilenameSizeDateTime).size(), 2);
    EXPECT_EQ(search(Mode::Duplicates, FilenameAndSize).size(), 3);
    EXPECT_EQ(search(Mode::Duplicates, TypeDateTime).size(), 2);
}

TEST_F(DupSearch, LinesHoldTheFieldsInTheModesOrder) {
    file("dir/Name.aaa", 1234567);
    const QString date =
        QLocale().toString(QDateTime::fromSecsSinceEpoch(kNoon).date(), shortDateFormat());
    const QString time =
        QLocale().toString(QDateTime::fromSecsSinceEpoch(kNoon).time(), longTimeFormat());
    const QString folder = world.path("c/dir");
    auto lineOf = [&](Mode mode, Criterion criterion) {
        FoundList list(mode, criterion);
        platform::DirEntry entry;
        EXPECT_TRUE(platform::lookUpEntry(folder + "/Name.aaa", &entry));
        list.add(folder, entry);
        return list.lines().value(0);
    };
    const QString rest = date + "\t" + time + "\t" + date;
    EXPECT_EQ(lineOf(Mode::Duplicates, FilenameOnly),
              "Name.aaa\t1,234,567\t" + rest + "\t" + folder + "\tPicture file");
    EXPECT_EQ(lineOf(Mode::Duplicates, SizeAndType),
              "1,234,567\tName.aaa\t" + rest + "\t" + folder + "\tPicture file");
    EXPECT_EQ(lineOf(Mode::Duplicates, TypeDateTime), "Picture file\t" + date + "\t" + time +
                                                          "\tName.aaa\t1,234,567\t" + date + "\t" +
                                                          folder);
    // The path keeps the letter case of the file system.
    EXPECT_EQ(lineOf(Mode::FileHogs, SizeOnly),
              "1,234,567\t" + rest + "\t" + folder + "/Name.aaa\tPicture file");
}

TEST_F(DupSearch, FileWithoutDateOrExtensionHasEmptyFields) {
    const QString path = file("plain", 7);
    ASSERT_TRUE(platform::setFileTimes(path, 0));
    platform::DirEntry entry;
    ASSERT_TRUE(platform::lookUpEntry(path, &entry));
    FoundList list(Mode::Duplicates, FilenameOnly);
    list.add(world.path("c"), entry);
    EXPECT_EQ(list.lines().value(0), "plain\t7\t\t\t\t" + world.path("c") + "\t");
}

TEST_F(DupSearch, LinesOrderIgnoringCaseAndKeepArrivalForCaseTwins) {
    FoundList list(Mode::Duplicates, FilenameOnly);
    platform::DirEntry e;
    e.size = 1;
    for (const char* name : {"b", "B", "a", "_x", "A"}) {
        e.name = QString::fromLatin1(name);
        list.add("/f", e);
    }
    QStringList names;
    for (const QString& line : list.lines())
        names << line.section('\t', 0, 0);
    // "_" folds below the letters; "B" and "b", "a" and "A" keep the order they came in.
    EXPECT_EQ(names, QStringList({"_x", "a", "A", "b", "B"}));
}

TEST_F(DupSearch, NamesOfOneFileAreOneFile) {
    const QString first = file("a/same.dat", 700);
    world.makeDir("c/b");
    std::filesystem::create_hard_link(first.toStdString(),
                                      world.path("c/b/same.dat").toStdString());
    // Two names of one file are no duplicates of each other.
    EXPECT_TRUE(search(Mode::Duplicates, FilenameOnly).isEmpty());
    EXPECT_TRUE(search(Mode::Duplicates, SizeOnly).isEmpty());

    file("c/same.dat", 700); // a true copy
    for (Criterion c : {FilenameOnly, SizeOnly, FilenameSizeDateTime}) {
        SCOPED_TRACE(c);
        const QStringList folders = column(search(Mode::Duplicates, c), dcFolder);
        ASSERT_EQ(folders.size(), 2);
        EXPECT_EQ(folders.count(world.path("c/a")) + folders.count(world.path("c/b")), 1);
        EXPECT_EQ(folders.count(world.path("c/c")), 1);
    }
    // The file is listed once among the large files.
    const QStringList paths = column(search(Mode::FileHogs, SizeOnly), hcFileName);
    EXPECT_EQ(paths.size(), 2);
    EXPECT_TRUE(paths.contains(world.path("c/c/same.dat")));
}

TEST_F(DupSearch, FileHogsLargestFirstThenSortCommandsToggle) {
    file("m.dat", 300);
    file("z.dat", 100);
    file("a.dat", 200);
    auto rows = search(Mode::FileHogs, SizeOnly);
    EXPECT_EQ(column(rows, hcSize), QStringList({"300", "200", "100"}));
    // The first "&Size" after a search sorts smallest first, the next largest first.
    sortHogGrid(grid, SortCommand::Size, directions);
    EXPECT_EQ(grid.cell(hcSize, 1), "100");
    sortHogGrid(grid, SortCommand::Size, directions);
    EXPECT_EQ(grid.cell(hcSize, 1), "300");
    // "&Name" starts A to Z (its direction lives on between searches, so set it here).
    directions.name = SortDirection(false);
    sortHogGrid(grid, SortCommand::Name, directions);
    EXPECT_EQ(grid.cell(hcFileName, 1), world.path("c/a.dat"));
    EXPECT_EQ(grid.cell(hcFileName, 3), world.path("c/z.dat"));
    EXPECT_EQ(sortCommandForColumn(hcTime), std::nullopt);
    EXPECT_EQ(sortCommandForColumn(hcAccess), SortCommand::AccessDate);
}

TEST_F(DupSearch, FullListEndsTheWalkWithWhatWasFound) {
    for (int i = 0; i < 6; ++i)
        file(QString("f%1.txt").arg(i), 10);
    SearchSettings settings;
    settings.mode = Mode::FileHogs;
    Search s(abort, settings);
    s.found().setLimit(4);
    s.scanDrives({'C'});
    EXPECT_TRUE(s.listFull());
    EXPECT_TRUE(abort);
    TextGrid g(columnCount(Mode::FileHogs));
    EXPECT_EQ(s.fillGrid(g, directions), 4);
    EXPECT_TRUE(listFullMessage().startsWith("Due to Windows resource limitations"));
}

TEST_F(DupSearch, MarkingCountsExistingFilesOnly) {
    file("one.dat", 1000);
    file("two.dat", 2000);
    const QString gone = file("gone.dat", 500);
    search(Mode::FileHogs, SizeOnly); // two.dat, one.dat, gone.dat
    QFile::remove(gone);
    const auto hog = [this](int row) { return rowPath(grid, row, Mode::FileHogs); };
    GridMarks marks;
    EXPECT_TRUE(marks.toggle(grid, 1, hog(1)));
    EXPECT_TRUE(marks.toggle(grid, 2, hog(2)));
    EXPECT_EQ(marks.statusText(), "2 files 3,000 bytes");
    // A file that went since the search is marked but not counted.
    EXPECT_TRUE(marks.toggle(grid, 3, hog(3)));
    EXPECT_EQ(marks.count(), 2);
    EXPECT_EQ(marks.paths().size(), 3);
    // Marking twice leaves everything as it was.
    EXPECT_FALSE(marks.toggle(grid, 1, hog(1)));
    EXPECT_TRUE(marks.toggle(grid, 1, hog(1)));
    EXPECT_EQ(marks.count(), 2);
    EXPECT_EQ(marks.bytes(), 3000);
    EXPECT_EQ(marks.paths().size(), 3);
    EXPECT_EQ(marks.paths().last(), world.path("c/two.dat"));
    // Rows outside the grid are ignored.
    EXPECT_FALSE(marks.toggle(grid, 0, hog(0)));
    EXPECT_FALSE(marks.toggle(grid, 4, hog(4)));
    marks.clear(grid);
    EXPECT_EQ(marks.statusText(), "0 files 0 bytes");
    EXPECT_FALSE(grid.isMarked(1));
    marks.markAll(grid, hog);
    EXPECT_EQ(marks.count(), 2);
    EXPECT_EQ(marks.paths().size(), 3);

    // Each marked file goes on with the identity the search saw, even after the grid is sorted.
    sortHogGrid(grid, SortCommand::Name, directions);
    marks.clear(grid);
    for (int row = 1; row < grid.rowCount(); ++row)
        marks.toggle(grid, row, hog(row));
    for (const ListedFile& f : marks.files()) {
        platform::DirEntry now;
        if (platform::lookUpEntry(f.path, &now))
            EXPECT_TRUE(f.identity.matches(platform::identityOf(now))) << f.path.toStdString();
        else
            EXPECT_EQ(f.path, gone);
        EXPECT_EQ(f.identity.size, QFileInfo(f.path).exists() ? QFileInfo(f.path).size() : 500);
    }
}

TEST_F(DupSearch, MarkingInTheDuplicateGridJoinsFolderAndName) {
    file("x/ a.txt", 10); // a name that begins with a blank is a name of its own
    file("y/ a.txt", 10);
    search(Mode::Duplicates, FilenameOnly);
    const auto dup = [this](int row) { return rowPath(grid, row, Mode::Duplicates); };
    GridMarks marks;
    marks.toggle(grid, 1, dup(1));
    EXPECT_EQ(marks.paths(), QStringList({world.path("c/x/ a.txt")}));
    EXPECT_EQ(marks.bytes(), 10);
    EXPECT_EQ(clipboardText(grid, dup),
              world.path("c/x/ a.txt") + "\r\n" + world.path("c/y/ a.txt"));
}

TEST(DupReports, PrintTitle) {
    TitleSettings s;
    s.number1 = "250";
    s.unit = "KB";
    s.pattern = "*.*";
    s.drives = {'C', 'D'};
    EXPECT_EQ(printTitle(s), "Duplicates larger or equal to 250 KB matching *.* on drive(s) C D ");
    s.mode = Mode::FileHogs;
    s.rule = SizeRule::Between;
    s.number2 = "300";
    s.unit = "bytes";
    s.pattern = "*.txt";
    s.drives = {'E'};
    EXPECT_EQ(printTitle(s),
              "File Hogs in between 250 bytes and 300 bytes matching *.txt on drive(s) E ");
    s.rule = SizeRule::SmallerOrEqual;
    EXPECT_EQ(printTitle(s),
              "File Hogs smaller or equal to 250 bytes matching *.txt on drive(s) E ");
    EXPECT_EQ(foundText(Mode::Duplicates, 1234), "1,234 duplicates found");
    EXPECT_EQ(foundText(Mode::FileHogs, 2), "2 file hogs found");
}

} // namespace
