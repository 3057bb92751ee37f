#include "app/inifile.h"
#include "app/protection.h"
#include "app/totals.h"
#include "delete/reallydelete.h"
#include "platform/filesync.h"
#include "support/listedfiles.h"
#include "support/sandbox.h"
#include "zip/libzip.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

// Readable failure messages for texts and lists of texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QDateTime kMoment(QDate(2026, 12, 8), QTime(15, 30));

// A world with the two system folders, one search-path folder and one folder of the
// non-delete list, all below drive C.
class DeleteWorld : public ::testing::Test {
protected:
    void SetUp() override {
        world.makeDir("c/windows/system");
        world.makeDir("c/tools/bin");
        world.makeDir("c/apps/office");
        const QStringList nonDelete = {c("apps/office/")};
        folders.build(&nonDelete, {c("tools/bin")}, c("windows/system"), c("windows"));
    }
    QString c(const QString& rel) const { return world.path("c/" + rel); }
    QString file(const QString& rel, const QByteArray& content = "x") {
        return world.makeFile("c/" + rel, content);
    }

    SandboxWorld world;
    ProtectedFolders folders;
};

// What a run reported, in order.
struct Recorder {
    QStringList errors;
    QList<qsizetype> indexes;
    QStringList started;
    QList<int> gauge;
    std::function<bool()> abort;

    DisposalHooks hooks() {
        DisposalHooks h;
        h.fileStarted = [this](qsizetype i, const QString& p) {
            indexes << i;
            started << p;
        };
        h.error = [this](const QString& m) { errors << m; };
        h.gauge = [this](int p) { gauge << p; };
        h.abortRequested = [this]() { return abort && abort(); };
        return h;
    }
};

// The names and contents of the entries of an archive; empty when it does not open.
QMap<QString, QByteArray> archiveEntries(const QString& path, QString* comment = nullptr) {
    using namespace lz;
    QMap<QString, QByteArray> entries;
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return entries;
    if (comment) {
        int length = 0;
        const char* text = zip_get_archive_comment(archive, &length, ZIP_FL_ENC_GUESS);
        *comment = text ? QString::fromUtf8(text, length) : QString();
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &st) != 0)
            continue;
        QByteArray data(qsizetype(st.size), '\0');
        if (zip_file_t* f = zip_fopen_index(archive, zip_uint64_t(i), 0)) {
            zip_fread(f, data.data(), st.size);
            zip_fclose(f);
        }
        entries.insert(QString::fromUtf8(st.name), data);
    }
    zip_discard(archive);
    return entries;
}

QStringList zipsIn(const QString& folder) {
    return QDir(folder).entryList({"*.zip"}, QDir::Files, QDir::Name);
}

} // namespace

// ---- Archive names ----------------------------------------------------------------------------

TEST_F(DeleteWorld, ArchiveNamesCarryDriveTagAndMoment) {
    EXPECT_EQ(makeArchiveName("Duplicates", 'C', kMoment, "/z", kEnglish),
              "/z/Drive-C-Duplicates08Dec261530.zip");
    EXPECT_EQ(makeArchiveName("", 'C', kMoment, "/z", kEnglish), "/z/Drive-C-08Dec261530.zip");
    // One "/" between folder and name, whether or not the folder ends in one.
    EXPECT_EQ(makeArchiveName("TempClean", 'd', kMoment, "/z/", kEnglish),
              "/z/Drive-D-TempClean08Dec261530.zip");
    // Two-digit day and hour on the 24-hour clock, the year in two digits.
    EXPECT_EQ(makeArchiveName("X", 'C', QDateTime(QDate(2031, 3, 4), QTime(21, 5)), "/z", kEnglish),
              "/z/Drive-C-X04Mar312105.zip");
    EXPECT_EQ(makeArchiveName("X", 'C', QDateTime(QDate(2031, 3, 4), QTime(7, 9)), "/z", kEnglish),
              "/z/Drive-C-X04Mar310709.zip");
    // The locale gives the month name.
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_TRUE(makeArchiveName("X", 'C', kMoment, "/z", german)
                    .contains("08" + german.monthName(12, QLocale::ShortFormat) + "261530"));
}

TEST_F(DeleteWorld, ArchiveFolderFallsBackToTheRootOfDriveC) {
    EXPECT_EQ(makeArchiveName("Duplicates", 'C', kMoment, QString(), kEnglish),
              world.path("c/Drive-C-Duplicates08Dec261530.zip"));
}

TEST_F(DeleteWorld, DriveOfAPathIsTheLongestMatchingRoot) {
    world.setEnv("VASTEL_DRIVES", "C=" + world.path("c") + ";D=" + world.path("c/mnt"));
    EXPECT_EQ(driveLetterOfPath(world.path("c/mnt/b.txt")), QChar('D'));
    EXPECT_EQ(driveLetterOfPath(world.path("c/mntx/b.txt")), QChar('C'));
    EXPECT_EQ(driveLetterOfPath("/nowhere/at/all"), QChar('C')); // on no drive
}

// ---- Panels -----------------------------------------------------------------------------------

TEST_F(DeleteWorld, SortingAsksTheLookupPerFileFromLastToFirst) {
    const QStringList paths = {c("data/a.txt"),        c("windows/b.dll"),  c("tools/bin/tool"),
                               c("apps/office/x.doc"), c("windows/temp/t"), c("data/z.txt")};
    QList<qsizetype> steps;
    const PanelSplit split =
        sortIntoPanels(paths, folders, [&](qsizetype visited) { steps << visited; });
    EXPECT_EQ(split.deletion, QStringList({c("data/a.txt"), c("windows/temp/t"), c("data/z.txt")}));
    EXPECT_EQ(split.keep,
              QStringList({c("windows/b.dll"), c("tools/bin/tool"), c("apps/office/x.doc")}));
    EXPECT_EQ(steps, QList<qsizetype>({0, 1, 2, 3, 4, 5}));

    EXPECT_TRUE(sortIntoPanels({}, folders).deletion.isEmpty());
}

TEST_F(DeleteWorld, ManyFilesInOneFolderCostOneSearch) {
    QStringList paths;
    for (int i = 0; i < 200; ++i)
        paths << c(QString("data/f%1").arg(i, 3, 10, QChar('0')));
    paths << c("windows/one.ini");
    folders.clearCache();
    const int before = folders.searches();
    const PanelSplit split = sortIntoPanels(paths, folders);
    EXPECT_EQ(folders.searches() - before, 2);
    EXPECT_EQ(split.deletion.size(), 200);
    EXPECT_EQ(split.keep, QStringList({c("windows/one.ini")}));
}

TEST(Panels, MovingEntriesKeepsBothPanelsSorted) {
    QStringList left = {"/b/Zeta", "/a/x", "/B/alpha", "/a/Y", "/c/1"};
    sortPanel(left);
    // Letter case is ignored first, then decides between otherwise equal names.
    EXPECT_EQ(left, QStringList({"/a/x", "/a/Y", "/B/alpha", "/b/Zeta", "/c/1"}));

    QStringList right = {"/b/m"};
    const QStringList moved = takeFlagged(left, {true, false, true, false, true});
    EXPECT_EQ(moved, QStringList({"/a/x", "/B/alpha", "/c/1"}));
    EXPECT_EQ(left, QStringList({"/a/Y", "/b/Zeta"}));
    mergeIntoPanel(right, moved);
    EXPECT_EQ(right, QStringList({"/a/x", "/B/alpha", "/b/m", "/c/1"}));

    // And back again: everything is where it started.
    mergeIntoPanel(left, takeFlagged(right, {true, true, false, true}));
    EXPECT_EQ(left, QStringList({"/a/x", "/a/Y", "/B/alpha", "/b/Zeta", "/c/1"}));
    EXPECT_EQ(right, QStringList({"/b/m"}));
}

TEST_F(DeleteWorld, ReasonTextsNameTheListOrTheUser) {
    const QString head = "This file \"%1\" is on the DO NOT DELETE LIST since the folder that it "
                         "is stored in is ";
    EXPECT_EQ(keepReasonText(c("windows/system/k.dll"), folders),
              head.arg(c("windows/system/k.dll")) + "in the Windows/System folder");
    EXPECT_EQ(keepReasonText(c("tools/bin/tool"), folders),
              head.arg(c("tools/bin/tool")) + "in the search path");
    EXPECT_EQ(keepReasonText(c("apps/office/x.doc"), folders),
              head.arg(c("apps/office/x.doc")) + "referenced in the registry");
    EXPECT_EQ(keepReasonText(c("data/mine.txt"), folders),
              "This file \"" + c("data/mine.txt") +
                  "\" is on the DO NOT DELETE LIST because you moved it here.");
}

// ---- Delete -----------------------------------------------------------------------------------

TEST_F(DeleteWorld, DeleteRunReportsUndeletableFilesAndGoesOn) {
    const QString a = file("data/a.txt");
    const QString folder = file("data/full/inside.txt").section('/', 0, -2); // a non-empty folder
    const QString b = file("data/b.txt");
    const QString gone = c("data/vanished.txt");
    const QString d = file("data/d.txt");
    const QStringList files = {a, folder, b, gone, d};

    Recorder rec;
    const DisposalOutcome out = deleteFiles(listedNow(files), 123456, rec.hooks());

    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_FALSE(QFileInfo::exists(b));
    EXPECT_FALSE(QFileInfo::exists(d));
    EXPECT_TRUE(QFileInfo::exists(folder + "/inside.txt"));
    EXPECT_EQ(rec.errors,
              QStringList({"Couldn't delete file - " + folder + ": Is a directory",
                           "Couldn't delete file - " + gone + ": No such file or directory"}));
    EXPECT_EQ(rec.indexes, QList<qsizetype>({0, 1, 2, 3, 4}));
    EXPECT_EQ(rec.started, files);
    EXPECT_EQ(out.disposed, 3);
    EXPECT_EQ(out.failed, 2);

    // The totals count the whole list and the whole savings, failures included.
    const Totals t = readTotals(settingsFile());
    EXPECT_EQ(t.ndelete, 5);
    EXPECT_EQ(t.sizeDelete, 123456);
    EXPECT_EQ(t.nwaste, 0);
    EXPECT_EQ(t.delDate, dayNumber(QDate::currentDate()));
    EXPECT_EQ(t.nzip, -1);
}

// ---- Recycle ----------------------------------------------------------------------------------

// A file gone since the search is no refusal of the trash: it is reported and the run goes on.
// (A trash that refuses stops the run: see disposalsafety_test.)
TEST_F(DeleteWorld, RecycleRunPassesOverAVanishedFileAndCountsEveryFile) {
    IniFile ini = settingsFile();
    ini.writeInteger("Vastel", "NWaste", 7);
    ini.writeInteger("Vastel", "DelDate", 40000);

    QStringList files;
    for (int i = 1; i <= 10; ++i)
        files << file(QString("data/r%1.txt").arg(i, 2, 10, QChar('0')), QByteArray::number(i));
    QFile::remove(files[2]); // the third file vanished before its turn

    Recorder rec;
    const DisposalOutcome out = recycleFiles(listedNow(files), 5000, rec.hooks());

    EXPECT_EQ(rec.errors, QStringList({disposalText::changedSinceSearch(files[2])}));
    EXPECT_EQ(rec.indexes.size(), 10);
    EXPECT_EQ(out.disposed, 9);
    EXPECT_FALSE(out.stopped);
    // The others are in the trash, where they can be restored from.
    EXPECT_EQ(SandboxWorld::readBytes(world.path("xdg-data/Trash/files/r01.txt")), "1");
    EXPECT_EQ(SandboxWorld::readBytes(world.path("xdg-data/Trash/files/r10.txt")), "10");
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(QFileInfo::exists(files[i])) << i;

    const Totals t = readTotals(settingsFile());
    EXPECT_EQ(t.nwaste, 17);
    EXPECT_EQ(t.sizeWaste, 5000);
    EXPECT_EQ(t.delDate, 40000); // already set: left alone
}

// ---- Zip --------------------------------------------------------------------------------------

class ZipWorld : public DeleteWorld {
protected:
    void SetUp() override {
        DeleteWorld::SetUp();
        world.setDrives({"C", "D"});
        zipFolder = world.makeDir("zips");
        settings.tag = "Duplicates";
        settings.comment = "kept for later";
        settings.zipFolder = zipFolder;
        settings.moment = kMoment;
        settings.locale = kEnglish;
    }
    QString d(const QString& rel, const QByteArray& content) {
        return world.makeFile("d/" + rel, content);
    }

    QString zipFolder;
    ZipRunSettings settings;
};

TEST_F(ZipWorld, FilesOfTwoDrivesGoIntoTwoArchivesOfOneMoment) {
    const QStringList files = {file("docs/a.txt", "alpha"), file("docs/b.txt", "beta"),
                               d("data/c.txt", "gamma"), d("data/sub/d.txt", "delta")};
    Recorder rec;
    const DisposalOutcome out = zipFiles(listedNow(files), 900, settings, rec.hooks());

    EXPECT_TRUE(rec.errors.isEmpty()) << rec.errors.join('\n').toStdString();
    EXPECT_EQ(out.disposed, 4);
    EXPECT_FALSE(out.aborted);
    EXPECT_EQ(zipsIn(zipFolder), QStringList({"Drive-C-Duplicates08Dec261530.zip",
                                              "Drive-D-Duplicates08Dec261530.zip"}));
    QString comment;
    const auto onC = archiveEntries(zipFolder + "/Drive-C-Duplicates08Dec261530.zip", &comment);
    EXPECT_EQ(onC.value("docs/a.txt"), "alpha");
    EXPECT_EQ(onC.value("docs/b.txt"), "beta");
    EXPECT_EQ(onC.size(), 2);
    EXPECT_EQ(comment, "kept for later");
    const auto onD = archiveEntries(zipFolder + "/Drive-D-Duplicates08Dec261530.zip");
    EXPECT_EQ(onD.value("data/c.txt"), "gamma");
    EXPECT_EQ(onD.value("data/sub/d.txt"), "delta");
    for (const QString& f : files)
        EXPECT_FALSE(QFileInfo::exists(f)) << f.toStdString();
    for (int p : rec.gauge)
        EXPECT_TRUE(p >= 0 && p <= 100) << p;

    const Totals t = readTotals(settingsFile());
    EXPECT_EQ(t.nzip, 4);
    EXPECT_EQ(t.sizeZip, 900);
    EXPECT_EQ(t.zipDate, dayNumber(QDate::currentDate()));
    EXPECT_EQ(t.ndelete, -1);
}

TEST_F(ZipWorld, AnArchiveMetAgainLaterInTheRunKeepsWhatItHeld) {
    // D lies inside C, so the sorted list goes C, D, C.
    world.setEnv("VASTEL_DRIVES", "C=" + world.path("c") + ";D=" + world.path("c/m"));
    const QStringList files = {file("a.txt", "1"), file("m/b.txt", "2"), file("z.txt", "3")};
    Recorder rec;
    zipFiles(listedNow(files), 3, settings, rec.hooks());
    EXPECT_TRUE(rec.errors.isEmpty()) << rec.errors.join('\n').toStdString();
    const auto onC = archiveEntries(zipFolder + "/Drive-C-Duplicates08Dec261530.zip");
    EXPECT_EQ(onC.keys(), QStringList({"a.txt", "z.txt"}));
    EXPECT_EQ(archiveEntries(zipFolder + "/Drive-D-Duplicates08Dec261530.zip").keys(),
              QStringList({"b.txt"}));
}

TEST_F(ZipWorld, AFileThatCannotBeStoredStaysAndIsReported) {
    const QString a = file("docs/a.txt", "alpha");
    const QString folder = world.makeDir("c/docs/folder");
    const QString b = file("docs/b.txt", "beta");
    Recorder rec;
    const DisposalOutcome out = zipFiles(listedNow({a, folder, b}), 10, settings, rec.hooks());
    EXPECT_EQ(rec.errors, QStringList({"Couldn't zip up file - " + folder + ": " + folder +
                                       " is not a regular file"}));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_FALSE(QFileInfo::exists(b));
    EXPECT_EQ(out.disposed, 2);
    EXPECT_EQ(readTotals(settingsFile()).nzip, 3);
}

TEST_F(ZipWorld, AMissingZipFolderDeletesNothing) {
    settings.zipFolder = world.path("no/such/folder");
    const QStringList files = {file("docs/a.txt", "alpha"), d("data/c.txt", "gamma")};
    Recorder rec;
    const DisposalOutcome out = zipFiles(listedNow(files), 10, settings, rec.hooks());
    EXPECT_EQ(out.disposed, 0);
    const QString why = ": The folder " + settings.zipFolder + " does not exist";
    EXPECT_EQ(rec.errors, QStringList({"Couldn't zip up file - " + files[0] + why,
                                       "Couldn't zip up file - " + files[1] + why}));
    for (const QString& f : files)
        EXPECT_TRUE(QFileInfo::exists(f)) << f.toStdString();
    EXPECT_FALSE(QFileInfo::exists(world.path("no")));
}

TEST_F(ZipWorld, AFullDeviceIsNamedInTheReport) {
    const QStringList files = {file("docs/a.txt", "alpha"), file("docs/b.txt", "beta")};
    platform::setFileFault(platform::FileStep::SyncFile, ENOSPC);
    Recorder rec;
    const DisposalOutcome out = zipFiles(listedNow(files), 9, settings, rec.hooks());
    platform::clearFileFaults();
    EXPECT_EQ(out.disposed, 0);
    ASSERT_EQ(rec.errors.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(rec.errors[i].startsWith("Couldn't zip up file - " + files[i] + ": "))
            << rec.errors[i].toStdString();
        EXPECT_TRUE(rec.errors[i].endsWith(QString::fromLocal8Bit(std::strerror(ENOSPC))))
            << rec.errors[i].toStdString();
        EXPECT_TRUE(QFileInfo::exists(files[i]));
    }
}

TEST_F(ZipWorld, AnAbortedRunLosesNothing) {
    QStringList files;
    for (int i = 0; i < 6; ++i)
        files << file(QString("docs/f%1.txt").arg(i), QByteArray(100, char('a' + i)));
    Recorder rec;
    rec.abort = [&rec]() { return rec.indexes.size() >= 2; };
    const DisposalOutcome out = zipFiles(listedNow(files), 10, settings, rec.hooks());

    EXPECT_TRUE(out.aborted);
    EXPECT_EQ(rec.indexes, QList<qsizetype>({0, 1}));
    EXPECT_TRUE(rec.errors.isEmpty()) << rec.errors.join('\n').toStdString();
    // Every file is either safely in the archive and gone, or still where it was.
    const auto entries = archiveEntries(zipFolder + "/Drive-C-Duplicates08Dec261530.zip");
    for (int i = 0; i < 6; ++i) {
        const QString name = QString("docs/f%1.txt").arg(i);
        const bool stored = entries.contains(name);
        EXPECT_NE(stored, QFileInfo::exists(files[i])) << i;
        if (i >= 2) {
            EXPECT_FALSE(stored) << i;
        }
        if (stored) {
            EXPECT_EQ(entries.value(name), QByteArray(100, char('a' + i)));
        }
    }
    EXPECT_EQ(out.disposed, entries.size());
    EXPECT_EQ(readTotals(settingsFile()).nzip, 6);
}

// ---- Files that changed after they were listed --------------------------------------------------

TEST_F(ZipWorld, EveryRunKeepsAFileThatChangedSinceTheSearch) {
    using Run = std::function<DisposalOutcome(const ListedFiles&, Recorder&)>;
    const std::vector<std::pair<const char*, Run>> runs = {
        {"delete", [](const ListedFiles& f, Recorder& r) { return deleteFiles(f, 3, r.hooks()); }},
        {"trash", [](const ListedFiles& f, Recorder& r) { return recycleFiles(f, 3, r.hooks()); }},
        {"zip",
         [this](const ListedFiles& f, Recorder& r) { return zipFiles(f, 3, settings, r.hooks()); }},
    };
    for (const auto& [name, run] : runs) {
        SCOPED_TRACE(name);
        const QString folder = QString("runs/") + name + "/";
        const QString same = file(folder + "same.txt", "unchanged");
        const QString edited = file(folder + "edited.txt", "before");
        const QString swapped = file(folder + "swapped.txt", "twin");
        ASSERT_TRUE(platform::setFileTimes(swapped, 1700000000));
        const ListedFiles listed = listedNow({same, edited, swapped});
        // Edited after the search; swapped for another file of the same size and time.
        file(folder + "edited.txt", "after the search");
        const QString twin = file(folder + "twin.txt", "TWIN");
        ASSERT_TRUE(platform::setFileTimes(twin, 1700000000));
        ASSERT_TRUE(platform::replaceFile(twin, swapped));

        Recorder rec;
        const DisposalOutcome out = run(listed, rec);
        EXPECT_EQ(out.disposed, 1);
        EXPECT_FALSE(QFileInfo::exists(same));
        EXPECT_EQ(SandboxWorld::readBytes(edited), "after the search");
        EXPECT_EQ(SandboxWorld::readBytes(swapped), "TWIN");
        EXPECT_EQ(rec.errors,
                  QStringList({edited + " has changed since the search; not deleted",
                               swapped + " has changed since the search; not deleted"}));
    }
}

TEST_F(ZipWorld, AFileRewrittenWhileItIsArchivedStays) {
    // Same size and time of last write afterwards: only the change time tells.
    const QString a = file("docs/a.txt", "original");
    const qint64 mtime = 1700000000;
    ASSERT_TRUE(platform::setFileTimes(a, mtime));
    Recorder rec;
    bool rewritten = false;
    DisposalHooks hooks = rec.hooks();
    hooks.gauge = [&](int percent) {
        if (rewritten || percent < 100)
            return;
        rewritten = true;
        file("docs/a.txt", "REWRITES");
        platform::setFileTimes(a, mtime);
    };
    const DisposalOutcome out = zipFiles(listedNow({a}), 8, settings, hooks);
    ASSERT_TRUE(rewritten);
    EXPECT_EQ(out.disposed, 0);
    EXPECT_EQ(SandboxWorld::readBytes(a), "REWRITES");
    EXPECT_EQ(rec.errors.size(), 1);
}

TEST_F(ZipWorld, TwoRunsInOneMinuteNeverTouchTheFirstArchive) {
    const QString a = file("docs/a.txt", "first run");
    Recorder rec;
    ASSERT_EQ(zipFiles(listedNow({a}), 9, settings, rec.hooks()).disposed, 1);
    const QString first = zipFolder + "/Drive-C-Duplicates08Dec261530.zip";
    const QByteArray firstBytes = SandboxWorld::readBytes(first);

    // The same path again, in the same minute.
    file("docs/a.txt", "second run, other content");
    ASSERT_EQ(zipFiles(listedNow({a}), 9, settings, rec.hooks()).disposed, 1);
    EXPECT_TRUE(rec.errors.isEmpty()) << rec.errors.join('\n').toStdString();
    EXPECT_EQ(SandboxWorld::readBytes(first), firstBytes);
    EXPECT_EQ(archiveEntries(first).value("docs/a.txt"), "first run");
    EXPECT_EQ(
        archiveEntries(zipFolder + "/Drive-C-Duplicates08Dec261530-2.zip").value("docs/a.txt"),
        "second run, other content");
}

TEST_F(DeleteWorld, TotalsThatCannotBeSavedAreReportedAfterTheRun) {
    // vastel.ini cannot be read, so it must not be written back with only the totals in it.
    world.makeDir("config/vastel.ini");
    const QString a = file("data/a.txt");
    Recorder rec;
    EXPECT_EQ(deleteFiles(listedNow({a}), 1, rec.hooks()).disposed, 1);
    ASSERT_EQ(rec.errors.size(), 1);
    EXPECT_TRUE(rec.errors[0].startsWith("The running totals could not be saved: "));
    EXPECT_TRUE(QFileInfo(world.path("config/vastel.ini")).isDir());
}

// ---- Batches written by the caller --------------------------------------------------------------

TEST_F(ZipWorld, ABatchWrittenElsewhereDeletesItsFilesOnlyWhenHandedBack) {
    const QStringList onC = {file("docs/a.txt", "alpha"), file("docs/b.txt", "beta")};
    const QStringList onD = {d("data/c.txt", "gamma")};
    Recorder rec;
    DisposalRun run(DisposalKind::Zip, listedNow(onC + onD), 12, rec.hooks(), settings);

    // The end of the list: each archive's batch is due in turn, and nothing is written here.
    ASSERT_EQ(run.advance(100), DisposalRun::Stage::FlushDue);
    zip::ZipWriter* first = run.dueBatch();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(run.advance(100), DisposalRun::Stage::FlushDue);
    EXPECT_EQ(run.dueBatch(), first);
    EXPECT_EQ(rec.indexes.size(), 3);
    EXPECT_TRUE(zipsIn(zipFolder).isEmpty());

    // Written, closed and on disk: the originals are still there until the results come back.
    const zip::ZipWriter::Results writtenC = first->flush();
    EXPECT_EQ(writtenC.storedPaths(), onC);
    for (const QString& f : onC + onD)
        EXPECT_TRUE(QFileInfo::exists(f)) << f.toStdString();

    ASSERT_EQ(run.settle(writtenC), DisposalRun::Stage::FlushDue);
    for (const QString& f : onC)
        EXPECT_FALSE(QFileInfo::exists(f)) << f.toStdString();
    zip::ZipWriter* second = run.dueBatch();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_TRUE(QFileInfo::exists(onD[0]));
    EXPECT_EQ(readTotals(settingsFile()).nzip, -1); // the run is not over yet

    EXPECT_EQ(run.settle(second->flush()), DisposalRun::Stage::Done);
    EXPECT_EQ(run.dueBatch(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(onD[0]));
    EXPECT_TRUE(rec.errors.isEmpty()) << rec.errors.join('\n').toStdString();
    EXPECT_EQ(run.outcome().disposed, 3);
    EXPECT_FALSE(run.outcome().aborted);
    EXPECT_EQ(archiveEntries(zipFolder + "/Drive-D-Duplicates08Dec261530.zip").value("data/c.txt"),
              "gamma");
    EXPECT_EQ(readTotals(settingsFile()).nzip, 3);
    EXPECT_EQ(run.advance(100), DisposalRun::Stage::Done);
}

TEST_F(ZipWorld, ABatchGivenUpElsewhereKeepsItsFilesAndSaysNothing) {
    const QStringList files = {file("docs/a.txt", QByteArray(300000, 'a')),
                               file("docs/b.txt", QByteArray(300000, 'b'))};
    Recorder rec;
    bool abort = false;
    rec.abort = [&abort]() { return abort; };
    DisposalRun run(DisposalKind::Zip, listedNow(files), 12, rec.hooks(), settings);
    ASSERT_EQ(run.advance(100), DisposalRun::Stage::FlushDue);

    // The writer's own abort hook, as a caller writing the batch on a thread of its own uses it.
    zip::ZipWriter* batch = run.dueBatch();
    batch->setProgress([&abort](int) {
        abort = true; // the user asked meanwhile
        return true;
    });
    const zip::ZipWriter::Results results = batch->flush();
    ASSERT_TRUE(results.aborted);

    EXPECT_EQ(run.settle(results), DisposalRun::Stage::Done);
    EXPECT_TRUE(run.outcome().aborted);
    EXPECT_EQ(run.outcome().disposed, 0);
    EXPECT_TRUE(rec.errors.isEmpty()) << rec.errors.join('\n').toStdString();
    for (const QString& f : files)
        EXPECT_TRUE(QFileInfo::exists(f)) << f.toStdString();
    EXPECT_EQ(QDir(zipFolder).entryList(QDir::Files | QDir::Hidden), QStringList());
}
