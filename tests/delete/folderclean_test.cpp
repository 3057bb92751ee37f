#include "app/inifile.h"
#include "app/totals.h"
#include "delete/folderclean.h"
#include "platform/filesync.h"
#include "support/sandbox.h"
#include "zip/archivekit.h"
#include "zip/zipreader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QUrl>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Every file below a folder (links not followed): path below it -> content.
QMap<QString, QByteArray> filesBelow(const QString& folder) {
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out.insert(path.mid(folder.size() + 1), SandboxWorld::readBytes(path));
    }
    return out;
}

class FolderWorld : public ::testing::Test {
protected:
    void SetUp() override { world.setDrives({"C"}); }

    // A seeded random tree of folders and files below c/victim; returns the folder.
    QString randomTree(quint32 seed, int files) {
        QRandomGenerator random(seed);
        QStringList folders = {"victim"};
        for (int i = 0; i < files; ++i) {
            if (random.bounded(4) == 0)
                folders << folders[random.bounded(folders.size())] + QStringLiteral("/d%1").arg(i);
            const QString folder = folders[random.bounded(folders.size())];
            world.makeFile(QStringLiteral("c/%1/f%2.bin").arg(folder).arg(i),
                           archivekit::randomBytes(random.bounded(3000), seed + i));
        }
        return world.path("c/victim");
    }

    struct Run {
        bool started = false;
        QString error;
        QStringList questions;
        QStringList errors;
        std::unique_ptr<FolderClean> clean;
    };

    // Runs to the end; `answers` answer the questions in turn (Yes once they run out).
    Run run(const QString& folder, FolderMode mode, bool deleteAfterZip = true,
            QList<bool> answers = {}) {
        Run r;
        FolderCleanSettings settings;
        settings.folder = folder;
        settings.mode = mode;
        settings.deleteAfterZip = deleteAfterZip;
        settings.zip.tag = "FolderClean";
        settings.zip.zipFolder = world.makeDir("zips");
        FolderCleanHooks hooks;
        hooks.confirm = [&r, answers](const QString& q) mutable {
            r.questions << q;
            return answers.isEmpty() || answers.takeFirst();
        };
        hooks.error = [&r](const QString& m) { r.errors << m; };
        r.clean = std::make_unique<FolderClean>(settings, hooks);
        const Result<> started = r.clean->start();
        r.started = started.ok();
        r.error = started.message();
        while (r.started && r.clean->step(7)) {
        }
        return r;
    }

    Totals totals() const { return readTotals(settingsFile()); }

    SandboxWorld world;
};

TEST_F(FolderWorld, DeletingARandomTreeRemovesEverythingAndCountsIt) {
    const QString victim = randomTree(11, 60);
    const QMap<QString, QByteArray> before = filesBelow(victim);
    qint64 bytes = 0;
    for (const QByteArray& b : before)
        bytes += b.size();
    const Run r = run(victim, FolderMode::Delete);
    ASSERT_TRUE(r.started) << r.error.toStdString();
    EXPECT_TRUE(r.errors.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(victim));
    EXPECT_EQ(r.clean->count(), before.size());
    EXPECT_EQ(r.clean->size(), bytes);
    EXPECT_EQ(totals().ndelete, before.size());
    EXPECT_EQ(totals().sizeDelete, bytes);
    EXPECT_TRUE(r.clean->resultText().startsWith("Deleted 60 files for a savings of "));
}

TEST_F(FolderWorld, AnEmptyFolderGoesAtOnceWithoutTotals) {
    const QString empty = world.makeDir("c/empty");
    for (FolderMode mode : {FolderMode::Delete, FolderMode::Recycle}) {
        world.makeDir("c/empty");
        const Run r = run(empty, mode);
        ASSERT_TRUE(r.started);
        EXPECT_TRUE(r.clean->removedAtOnce());
        EXPECT_FALSE(QFileInfo::exists(empty));
        EXPECT_TRUE(r.clean->resultText().isEmpty());
    }
    EXPECT_EQ(totals().ndelete, -1);
}

TEST_F(FolderWorld, AReadOnlyHiddenFileIsAskedAboutTwice) {
    const QString file = world.makeFile("c/victim/.secret", "s");
    QFile::setPermissions(file, QFile::ReadOwner);
    world.makeFile("c/victim/later/z.txt", "z");

    // No to the first question: the run stops and the file stays.
    Run r = run(world.path("c/victim"), FolderMode::Delete, true, {false});
    EXPECT_EQ(r.questions, QStringList{file + " is read-only, Delete this file and continue "
                                              "deleting the remaining files? "});
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_TRUE(r.clean->aborted());

    // Yes to both: write permission back, hidden asked next, the file goes.
    r = run(world.path("c/victim"), FolderMode::Delete, true, {true, true});
    ASSERT_EQ(r.questions.size(), 2);
    EXPECT_TRUE(r.questions[1].startsWith(file + " is hidden, "));
    EXPECT_FALSE(QFileInfo::exists(world.path("c/victim")));
}

TEST_F(FolderWorld, AnAbortedRunSaysSoAndKeepsTheRest) {
    world.makeFile("c/victim/.a", "aaaa");
    world.makeFile("c/victim/.b", "b");
    world.makeFile("c/victim/c.txt", "c");
    const Run r = run(world.path("c/victim"), FolderMode::Delete, true, {true, false});
    EXPECT_TRUE(r.clean->resultText().endsWith(
        " bytes. (Note: Deletion operation canceled ... not all files deleted)"));
    EXPECT_EQ(filesBelow(world.path("c/victim")).size(), 1 + (r.clean->count() == 1 ? 1 : 0));
}

TEST_F(FolderWorld, ZipWithoutDeleteStoresEveryFileAndKeepsThem) {
    const QString victim = randomTree(5, 40);
    world.makeFile("c/victim/.hidden", "h");
    const QMap<QString, QByteArray> before = filesBelow(victim);
    const Run r = run(victim, FolderMode::Zip, false);
    ASSERT_TRUE(r.started) << r.error.toStdString();
    EXPECT_TRUE(r.questions.isEmpty()); // nothing is deleted, nothing to ask
    EXPECT_EQ(filesBelow(victim), before);
    ASSERT_EQ(r.clean->archives().size(), 1);
    EXPECT_TRUE(QFileInfo(r.clean->archives()[0]).fileName().startsWith("Drive-C-FolderClean"));
    QMap<QString, QByteArray> stored;
    const auto entries = archivekit::contents(r.clean->archives()[0]);
    for (auto it = entries.begin(); it != entries.end(); ++it)
        stored.insert(it.key().mid(QStringLiteral("victim/").size()), it.value());
    EXPECT_EQ(stored, before);
    EXPECT_EQ(r.clean->resultText(), QString("Zipped up %1 files").arg(before.size()));
    EXPECT_EQ(totals().nzip, before.size());
}

TEST_F(FolderWorld, ZipThenDeleteRestoresByteForByteIntoTheDriveRoot) {
    const QString victim = randomTree(23, 50);
    const QMap<QString, QByteArray> before = filesBelow(victim);
    const Run r = run(victim, FolderMode::Zip, true);
    ASSERT_TRUE(r.started);
    EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join('\n').toStdString();
    EXPECT_FALSE(QFileInfo::exists(victim));

    zip::ZipReader reader;
    ASSERT_TRUE(reader.open(r.clean->archives().value(0)));
    EXPECT_EQ(reader.extract(world.path("c")).failed, 0);
    EXPECT_EQ(filesBelow(victim), before);
}

TEST_F(FolderWorld, AFailedArchiveDeletesNothing) {
    const QString victim = randomTree(3, 12);
    const QMap<QString, QByteArray> before = filesBelow(victim);
    platform::setFileFault(platform::FileStep::SyncFile, ENOSPC);
    const Run r = run(victim, FolderMode::Zip, true);
    platform::clearFileFaults();
    EXPECT_EQ(filesBelow(victim), before);
    EXPECT_EQ(r.errors.size(), before.size());
    EXPECT_TRUE(r.errors.value(0).startsWith("Couldn't zip up file - "));
}

TEST_F(FolderWorld, LinksGoAsLinksAndOtherDrivesAreNotEntered) {
    const QString outside = world.makeFile("c/outside/keep.txt", "keep");
    world.makeFile("c/victim/a.txt", "a");
    ASSERT_TRUE(QFile::link(world.path("c/outside"), world.path("c/victim/link")));
    // Drive D is mounted inside the folder.
    const QString mounted = world.makeFile("c/victim/mnt/on-d.txt", "d");
    world.setEnv("VASTEL_DRIVES", "C=" + world.path("c") + ";D=" + world.path("c/victim/mnt"));

    const Run r = run(world.path("c/victim"), FolderMode::Delete, true, {true});
    EXPECT_EQ(r.questions.size(), 1); // the link is a "system file"
    EXPECT_EQ(SandboxWorld::readBytes(outside), "keep");
    EXPECT_FALSE(QFileInfo(world.path("c/victim/link")).isSymLink());
    EXPECT_EQ(SandboxWorld::readBytes(mounted), "d");
    EXPECT_FALSE(QFileInfo::exists(world.path("c/victim/a.txt")));
}

TEST_F(FolderWorld, AFileWithTwoNamesCountsItsBytesOnce) {
    const QString a = world.makeFile("c/victim/a.bin", QByteArray(1000, 'x'));
    ASSERT_TRUE(QFile::link(a, world.path("c/victim/sym"))); // one question, one byte count
    ASSERT_EQ(::link(a.toUtf8().constData(), world.path("c/victim/b.bin").toUtf8().constData()), 0);
    const Run r = run(world.path("c/victim"), FolderMode::Delete);
    EXPECT_EQ(r.clean->count(), 3);
    EXPECT_EQ(r.clean->size(), 1000 + a.toUtf8().size()); // the file once, and the link itself
}

TEST_F(FolderWorld, TheTrashGetsEachFileWithWhereItCameFrom) {
    const QString file = world.makeFile("c/victim/sub/one.txt", "1");
    const Run r = run(world.path("c/victim"), FolderMode::Recycle);
    EXPECT_FALSE(QFileInfo::exists(world.path("c/victim")));
    EXPECT_EQ(SandboxWorld::readBytes(world.path("xdg-data/Trash/files/one.txt")), "1");
    EXPECT_TRUE(SandboxWorld::readBytes(world.path("xdg-data/Trash/info/one.txt.trashinfo"))
                    .contains("Path=" + QUrl::toPercentEncoding(file, "/")));
    EXPECT_EQ(totals().ndelete, 1); // counted as deleted, as the window always has
}

TEST_F(FolderWorld, DrivesHomeAndSystemFoldersAreRefused) {
    world.makeFile("home/docs/a.txt", "a");
    for (const QString& folder : {world.path("c"), world.path("home"), world.root(),
                                  world.path("windows"), QStringLiteral("/usr")}) {
        const Run r = run(folder, FolderMode::Delete);
        EXPECT_FALSE(r.started) << folder.toStdString();
        EXPECT_TRUE(r.error.startsWith("You cannot delete ")) << r.error.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(world.path("home/docs/a.txt")));
    EXPECT_EQ(folderRefusal(world.path("home/docs")), FolderRefusal::None);
}

TEST_F(FolderWorld, OnlyRootsAndTheSystemFoldersThemselvesAreWindowsFolders) {
    world.makeDir("windows/system");
    world.makeDir("c/windows");
    const QString windows = QStringLiteral("You cannot delete the Windows folder using Vastel 95");
    EXPECT_EQ(windowsFolderRefusal(world.path("windows")), windows);
    EXPECT_EQ(windowsFolderRefusal(world.path("windows/")), windows);
    EXPECT_EQ(windowsFolderRefusal(QStringLiteral("/usr")), windows);
    EXPECT_EQ(windowsFolderRefusal(world.path("c")),
              QStringLiteral("You cannot delete the root folder using Vastel 95"));
    for (const QString& folder : {world.path("windows/system"), world.path("c/windows"),
                                  QStringLiteral("/usr/share"), world.path("home")})
        EXPECT_TRUE(windowsFolderRefusal(folder).isEmpty()) << folder.toStdString();
}

} // namespace
