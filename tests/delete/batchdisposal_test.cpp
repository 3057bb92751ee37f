#include "app/foldersfile.h"
#include "app/inifile.h"
#include "app/totals.h"
#include "app/zipsettings.h"
#include "delete/batchdisposal.h"
#include "support/listedfiles.h"
#include "support/sandbox.h"
#include "zip/archivekit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// A world whose non-delete list protects c/apps/office, with free files in c/data.
class BatchWorld : public ::testing::Test {
protected:
    void SetUp() override {
        world.makeDir("c/apps/office");
        world.setEnv("PATH", world.makeDir("c/tools/bin"));
        ASSERT_TRUE(writeFoldersFile({c("apps/office/")}));
    }
    QString c(const QString& rel) const { return world.path("c/" + rel); }
    QString file(const QString& rel, const QByteArray& content) {
        return world.makeFile("c/" + rel, content);
    }

    // Two free files (11 bytes) and two protected ones (7 bytes), mixed.
    void makeMixedList() {
        free = {file("data/a.txt", "alpha"), file("data/b.txt", "bravo!")};
        guarded = {file("apps/office/x.doc", "xx"), file("tools/bin/tool", "tools")};
        listed = listedNow({guarded[0], free[0], guarded[1], free[1]});
    }

    BatchDisposalIo io() {
        BatchDisposalIo io;
        io.say = [this](const QString& line) { said << line; };
        io.warn = [this](const QString& line) { warned << line; };
        io.confirm = [this](const QString& q) {
            asked << q;
            return answer;
        };
        return io;
    }

    BatchDisposalResult run(DisposalKind kind, bool assumeYes = false) {
        BatchDisposalRequest request;
        request.kind = kind;
        request.files = listed;
        request.savings = 18;
        request.tag = "Search";
        request.zipFolder = zipFolder;
        request.assumeYes = assumeYes;
        request.includeArchives = includeArchives;
        return disposeInBatch(request, io());
    }

    void expectProtectedUntouchedAndReported() {
        for (const QString& path : guarded) {
            EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
            EXPECT_EQ(warned.filter("\"" + path + "\" is on the DO NOT DELETE LIST since").size(),
                      1)
                << path.toStdString();
        }
    }

    SandboxWorld world;
    QStringList free;
    QStringList guarded;
    ListedFiles listed;
    QString zipFolder;
    bool answer = true;
    bool includeArchives = false;
    QStringList said, warned, asked;
};

} // namespace

// Each kind holds back the protected files, asks once naming the free ones, disposes of them and
// adds them to its running totals without the held-back bytes.
TEST_F(BatchWorld, EveryKindDisposesOfTheFreeFilesOnlyAndCountsThem) {
    for (DisposalKind kind : {DisposalKind::Delete, DisposalKind::Recycle, DisposalKind::Zip}) {
        SCOPED_TRACE(int(kind));
        said.clear(), warned.clear(), asked.clear();
        QFile::remove(settingsFile().path());
        zipFolder = world.makeDir(QString("zips%1").arg(int(kind)));
        makeMixedList();

        const BatchDisposalResult result = run(kind);
        EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
        EXPECT_EQ(result.disposed, 2);
        EXPECT_EQ(result.refused, 2);
        EXPECT_EQ(result.failed, 0);
        EXPECT_FALSE(result.declined);
        expectProtectedUntouchedAndReported();
        EXPECT_EQ(warned.size(), 2);
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked[0].contains("2 files (11 bytes)")) << asked[0].toStdString();
        ASSERT_EQ(said.size(), 1);
        EXPECT_TRUE(said[0].contains("2 files") && said[0].contains("11 bytes"))
            << said[0].toStdString();
        for (const QString& path : free)
            EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();

        const Totals t = readTotals(settingsFile());
        switch (kind) {
        case DisposalKind::Delete:
            EXPECT_EQ(t.ndelete, 2);
            EXPECT_EQ(t.sizeDelete, 11);
            break;
        case DisposalKind::Recycle:
            EXPECT_EQ(t.nwaste, 2);
            EXPECT_EQ(t.sizeWaste, 11);
            EXPECT_EQ(SandboxWorld::readBytes(world.path("xdg-data/Trash/files/b.txt")), "bravo!");
            EXPECT_TRUE(QFileInfo::exists(world.path("xdg-data/Trash/info/a.txt.trashinfo")));
            break;
        case DisposalKind::Zip: {
            EXPECT_EQ(t.nzip, 2);
            EXPECT_EQ(t.sizeZip, 11);
            EXPECT_TRUE(said[0].contains(zipFolder));
            const QStringList zips = QDir(zipFolder).entryList({"Drive-C-Search*.zip"});
            ASSERT_EQ(zips.size(), 1);
            const auto entries = archivekit::contents(zipFolder + "/" + zips[0]);
            EXPECT_EQ(entries.size(), 2);
            EXPECT_EQ(entries.value("data/a.txt"), "alpha");
            EXPECT_EQ(entries.value("data/b.txt"), "bravo!");
            break;
        }
        }
    }
}

TEST_F(BatchWorld, ANoOrNoQuestionTouchesNothing) {
    makeMixedList();
    answer = false;
    BatchDisposalResult result = run(DisposalKind::Delete);
    EXPECT_TRUE(result.declined);
    EXPECT_EQ(result.disposed, 0);
    EXPECT_EQ(result.refused, 2);
    EXPECT_EQ(asked.size(), 1);

    // Without a way to ask, the answer is no as well.
    BatchDisposalIo silent = io();
    silent.confirm = nullptr;
    BatchDisposalRequest request;
    request.files = listed;
    result = disposeInBatch(request, silent);
    EXPECT_TRUE(result.declined);

    for (const QString& path : free + guarded)
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    EXPECT_EQ(readTotals(settingsFile()).ndelete, -1);

    // Told yes beforehand, nothing is asked.
    asked.clear();
    result = run(DisposalKind::Delete, true);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(result.disposed, 2);
}

TEST_F(BatchWorld, AFileChangedAfterListingIsKeptAndCountedFailed) {
    makeMixedList();
    file("data/a.txt", "alpha, edited after the search");
    const BatchDisposalResult result = run(DisposalKind::Delete);
    EXPECT_EQ(result.disposed, 1);
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(SandboxWorld::readBytes(free[0]), "alpha, edited after the search");
    EXPECT_FALSE(QFileInfo::exists(free[1]));
    EXPECT_EQ(warned.filter(free[0] + " has changed since the search").size(), 1);
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains("1 of 2 files")) << said[0].toStdString();
}

TEST_F(BatchWorld, TheLastCopyOfEveryContentStaysAndIsNamed) {
    const QString first = file("data/one/x.bin", "the same");
    const QString second = file("data/two/x.bin", "the same");
    const QString lone = file("data/two/y.bin", "unique!!");
    const QString guardedCopy = file("apps/office/z.bin", "guarded");
    const QString freeCopy = file("data/z.bin", "guarded");
    listed = listedNow({first, second, lone, guardedCopy, freeCopy});
    BatchDisposalRequest request;
    request.kind = DisposalKind::Delete;
    request.files = listed;
    request.assumeYes = true;
    // Every file handed over: of the first content the first copy stays, the unique file stays,
    // and the copy in a protected folder is the one that stays of the third.
    request.copies.groups = {listedNow({first, second, lone}), listedNow({guardedCopy, freeCopy})};
    const BatchDisposalResult result = disposeInBatch(request, io());

    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_FALSE(QFileInfo::exists(second));
    EXPECT_TRUE(QFileInfo::exists(lone));
    EXPECT_TRUE(QFileInfo::exists(guardedCopy));
    EXPECT_FALSE(QFileInfo::exists(freeCopy));
    EXPECT_EQ(result.disposed, 2);
    EXPECT_EQ(result.refused, 3);
    EXPECT_EQ(warned.filter("is kept since no kept copy has the same contents").size(), 2);
    EXPECT_EQ(warned.filter(lone).size(), 1);
}

// Nothing is asked and nothing touched when nothing may go or the run cannot start.
TEST_F(BatchWorld, NothingHappensWhenTheRunCannotStartOrHasNothingToDo) {
    makeMixedList();
    listed = listedNow(guarded);
    BatchDisposalResult result = run(DisposalKind::Delete);
    EXPECT_EQ(result.refused, 2);
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_EQ(said.size(), 1);

    // A zip folder that does not exist.
    listed = listedNow(free);
    zipFolder = world.path("no/such/folder");
    result = run(DisposalKind::Zip);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_TRUE(result.error.contains(zipFolder));
    EXPECT_FALSE(QFileInfo::exists(world.path("no")));

    // No non-delete list, then one that cannot be read: nothing is protected, so nothing goes.
    ASSERT_TRUE(QFile::remove(foldersFilePath()));
    result = run(DisposalKind::Delete, true);
    EXPECT_FALSE(result.error.isEmpty());
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), foldersFilePath()));
    result = run(DisposalKind::Delete, true);
    EXPECT_TRUE(result.error.contains(foldersFilePath()));

    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(result.disposed, 0);
    for (const QString& path : free + guarded)
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    EXPECT_EQ(readTotals(settingsFile()).nzip, -1);
    EXPECT_EQ(readTotals(settingsFile()).ndelete, -1);
}

// The archives of earlier zip runs, in the zip folder of the settings or of this run, stay unless
// the request includes them; they count as held back.
TEST_F(BatchWorld, TheProgramsArchivesAreHeldBackUnlessIncluded) {
    const QString stash = world.makeDir("c/stash");
    IniFile ini = settingsFile();
    ASSERT_TRUE(writeZipPath(ini, stash));
    zipFolder = world.makeDir("c/out");
    makeMixedList();
    const QString old = file("stash/Drive-C-Duplicates01Jan251200.zip", "PK-old-1");
    const QString last = file("out/Drive-C-Search02Jan251200.zip", "PK-last");
    const QString foreign = file("stash/holiday.zip", "PK-holiday"); // no archive of ours

    for (DisposalKind kind : {DisposalKind::Delete, DisposalKind::Zip}) {
        SCOPED_TRACE(int(kind));
        asked.clear(), warned.clear();
        listed = listedNow({old, free[0], guarded[0], last, foreign});
        BatchDisposalRequest request;
        request.kind = kind;
        request.files = listed;
        request.savings = 8 + 5 + 2 + 7 + 10;
        request.zipFolder = zipFolder;
        request.tag = "Again";
        const BatchDisposalResult result = disposeInBatch(request, io());
        EXPECT_EQ(result.refused, 3);
        EXPECT_EQ(result.disposed, 2);
        EXPECT_TRUE(QFileInfo::exists(old));
        EXPECT_TRUE(QFileInfo::exists(last));
        EXPECT_FALSE(QFileInfo::exists(foreign));
        EXPECT_EQ(warned.filter(old + " is an archive Vastel wrote; kept").size(), 1);
        EXPECT_EQ(warned.filter(last + " is an archive Vastel wrote; kept").size(), 1);
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked[0].contains("2 files (15 bytes)")) << asked[0].toStdString();
        // Back for the next kind.
        file("stash/holiday.zip", "PK-holiday");
        file("data/a.txt", "alpha");
    }

    // Asked for explicitly, they go like any other file.
    includeArchives = true;
    listed = listedNow({old, free[0], last});
    warned.clear();
    const BatchDisposalResult result = run(DisposalKind::Delete, true);
    EXPECT_EQ(result.disposed, 3);
    EXPECT_EQ(result.refused, 0);
    EXPECT_TRUE(warned.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(old));
    EXPECT_FALSE(QFileInfo::exists(last));
}
