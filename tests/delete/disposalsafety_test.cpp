// Disposals against a world that changes under them: files rewritten with their old times put
// back, folders swapped for links or bind mounts of protected folders, trees deeper than the
// longest path the system takes, and a trash that refuses.
#include "app/grid.h"
#include "app/protection.h"
#include "delete/folderclean.h"
#include "delete/reallydelete.h"
#include "dup/foundlist.h"
#include "platform/dirsearch.h"
#include "platform/fileops.h"
#include "support/listedfiles.h"
#include "support/mountns.h"
#include "support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// A world with a protected system folder below drive C.
class SafetyWorld : public ::testing::Test {
protected:
    void SetUp() override {
        world.makeDir("c/sys");
        world.makeDir("c/user");
        const QStringList none;
        folders.build(&none, {}, c("sys"), QString());
    }
    QString c(const QString& rel) const { return world.path("c/" + rel); }
    QString file(const QString& rel, const QByteArray& content = "x") {
        return world.makeFile("c/" + rel, content);
    }
    DisposalHooks hooks() {
        DisposalHooks h;
        h.error = [this](const QString& m) { errors << m; };
        h.guard = folders.guard();
        return h;
    }

    SandboxWorld world;
    ProtectedFolders folders;
    QStringList errors;
};

// Rewrites a file with other bytes of the same length and puts its old times back, as cp -p,
// rsync -t or touch -r leave a file.
void rewriteKeepingTimes(const QString& path, const QByteArray& content) {
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(content), content.size());
    f.close();
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

// ---- A file rewritten with its old time put back ------------------------------------------------

TEST_F(SafetyWorld, AFileRewrittenWithItsOldTimesIsKeptByEveryRun) {
    using Run = std::function<DisposalOutcome(const ListedFiles&, const DisposalHooks&)>;
    const QList<QPair<QString, Run>> runs = {
        {"delete",
         [](const ListedFiles& f, const DisposalHooks& h) { return deleteFiles(f, 1, h); }},
        {"trash",
         [](const ListedFiles& f, const DisposalHooks& h) { return recycleFiles(f, 1, h); }},
        {"zip",
         [this](const ListedFiles& f, const DisposalHooks& h) {
             ZipRunSettings zip;
             zip.zipFolder = world.makeDir("zips");
             return zipFiles(f, 1, zip, h);
         }},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.first.toStdString());
        errors.clear();
        const QString path = file("user/" + run.first + ".txt", "old contents");
        const ListedFiles listed = listedNow({path}); // the identity a search records
        rewriteKeepingTimes(path, "new contents");

        const DisposalOutcome out = run.second(listed, hooks());
        EXPECT_EQ(out.disposed, 0);
        EXPECT_EQ(SandboxWorld::readBytes(path), QByteArray("new contents"));
        ASSERT_FALSE(errors.isEmpty());
        EXPECT_EQ(errors.first(), disposalText::changedSinceSearch(path));
    }
}

TEST_F(SafetyWorld, TheDuplicateSearchRecordsTheChangeTimeOfWhatItListed) {
    const QString path = file("user/a.txt", "first");
    platform::DirEntry entry;
    ASSERT_TRUE(platform::lookUpFile(path, &entry));
    dups::FoundList found(dups::Mode::FileHogs, dups::Criterion(0));
    ASSERT_TRUE(found.add(c("user"), entry));
    TextGrid grid;
    ASSERT_EQ(found.moveToGrid(grid), 1);
    const platform::FileIdentity seen = grid.identity(grid.rowCount() - 1);
    rewriteKeepingTimes(path, "other");
    EXPECT_EQ(platform::removeFileIfUnchanged(path, seen).status, platform::FileResult::Changed);
    EXPECT_TRUE(QFileInfo::exists(path));
}

// ---- A folder swapped between the check and the unlink -----------------------------------------

// The same file under two names, sys/key.conf (protected) and user/dir/key.conf, listed by the
// second; then, while the question waits, user/dir goes away.
class SwapWorld : public SafetyWorld {
protected:
    void SetUp() override {
        SafetyWorld::SetUp();
        kept = file("sys/key.conf", "secret");
        world.makeDir("c/user/dir");
        listedPath = c("user/dir/key.conf");
        ASSERT_EQ(
            ::link(QFile::encodeName(kept).constData(), QFile::encodeName(listedPath).constData()),
            0);
        listed = listedNow({listedPath});
        ASSERT_FALSE(folders.lookup(listedPath, true)); // handed over as deletable
        ASSERT_TRUE(QDir().rename(c("user/dir"), c("user/dir.old")));
    }
    QString kept, listedPath;
    ListedFiles listed;
};

TEST_F(SwapWorld, AFolderSwappedForALinkToAProtectedFolderLeadsNowhere) {
    ASSERT_TRUE(QFile::link(c("sys"), c("user/dir")));

    for (const bool trash : {false, true}) {
        errors.clear();
        const DisposalOutcome out =
            trash ? recycleFiles(listed, 6, hooks()) : deleteFiles(listed, 6, hooks());
        EXPECT_EQ(out.disposed, 0);
        EXPECT_TRUE(QFileInfo::exists(kept)) << (trash ? "trash" : "delete");
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors.first().contains("symbolic link")) << errors.first().toStdString();
    }
}

TEST_F(SwapWorld, AFolderSwappedForABindMountOfAProtectedFolderIsHeldBack) {
    world.makeDir("c/user/dir");

    const int code = inBindMount(c("sys"), c("user/dir"), [&]() {
        for (const bool trash : {false, true}) {
            errors.clear();
            const DisposalOutcome out =
                trash ? recycleFiles(listed, 6, hooks()) : deleteFiles(listed, 6, hooks());
            CHILD_CHECK(out.disposed == 0);
            CHILD_CHECK(QFileInfo::exists(kept));
            CHILD_CHECK(errors.size() == 1);
            CHILD_CHECK(errors.first() ==
                        disposalText::heldBack(listedPath, "in the Windows/System folder"));
        }
        // The panels see through the mount too.
        folders.clearCache();
        CHILD_CHECK(folders.lookup(listedPath, true));
        return 0;
    });
    if (code == kCannotMount)
        GTEST_SKIP() << "no privilege to make bind mounts here";
    EXPECT_EQ(code, 0);
}

// ---- Trees deeper than the longest path ---------------------------------------------------------

// Makes `levels` nested folders "d" below `top` through descriptors and a file at the bottom;
// returns the file's path (far longer than PATH_MAX).
QString deepFile(const QString& top, int levels, const QByteArray& content) {
    int fd = ::open(QFile::encodeName(top).constData(), O_RDONLY | O_DIRECTORY);
    QString path = top;
    for (int i = 0; i < levels && fd >= 0; ++i) {
        ::mkdirat(fd, "d", 0755);
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        path += QStringLiteral("/d");
    }
    EXPECT_GE(fd, 0);
    const int file = ::openat(fd, "deep.txt", O_WRONLY | O_CREAT | O_EXCL, 0644);
    EXPECT_GE(file, 0);
    EXPECT_EQ(::write(file, content.constData(), size_t(content.size())), content.size());
    ::close(file);
    ::close(fd);
    return path + QStringLiteral("/deep.txt");
}

// Whether the file at the bottom of a deep path exists, looked up through descriptors.
bool deepExists(const QString& path) {
    platform::DirEntry entry;
    return platform::lookUpEntry(path, &entry);
}

TEST_F(SafetyWorld, FilesFiveThousandLevelsDeepAreDeletedTrashedAndZipped) {
    const int levels = 5000;
    const QString deleted = deepFile(world.makeDir("c/user/del"), levels, "one");
    const QString trashed = deepFile(world.makeDir("c/user/bin"), levels, "two");
    const QString zipped = deepFile(world.makeDir("c/user/zip"), levels, "three");
    ASSERT_TRUE(deepExists(deleted));

    // The hand-over's protection lookup answers at once.
    const PanelSplit split = sortIntoPanels({deleted, trashed, zipped}, folders);
    EXPECT_EQ(split.deletion.size(), 3);

    DisposalOutcome out = deleteFiles(listedNow({deleted}), 3, hooks());
    EXPECT_EQ(out.disposed, 1) << errors.join('\n').left(300).toStdString();
    EXPECT_FALSE(deepExists(deleted));

    out = recycleFiles(listedNow({trashed}), 3, hooks());
    EXPECT_EQ(out.disposed, 1) << errors.join('\n').left(300).toStdString();
    EXPECT_FALSE(deepExists(trashed));
    EXPECT_EQ(QDir(world.path("xdg-data/Trash/files")).entryList(QDir::Files),
              QStringList({"deep.txt"}));

    ZipRunSettings zip;
    zip.zipFolder = world.makeDir("zips");
    out = zipFiles(listedNow({zipped}), 5, zip, hooks());
    EXPECT_EQ(out.disposed, 1) << errors.join('\n').left(300).toStdString();
    EXPECT_FALSE(deepExists(zipped));
    EXPECT_EQ(QDir(zip.zipFolder).entryList({"*.zip"}, QDir::Files).size(), 1);
}

// ---- The trash ----------------------------------------------------------------------------------

TEST_F(SafetyWorld, ATrashRunSaysWhyTheTrashRefusedAndPassesOverVanishedFiles) {
    const QString gone = c("user/vanished.txt");
    const QString a = file("user/a.txt");
    const QString b = file("user/b.txt");
    ListedFiles listed = listedNow({gone, a, b});
    listed[0].identity = listedNow({a})[0].identity; // listed once, gone since
    // The home trash cannot be made: a file has its name.
    world.makeFile("xdg-data/Trash", "not a folder");

    const DisposalOutcome out = recycleFiles(listed, 3, hooks());
    ASSERT_EQ(errors.size(), 2);
    EXPECT_EQ(errors[0], disposalText::changedSinceSearch(gone));
    EXPECT_TRUE(errors[1].startsWith("An error occurred sending files to the recycle bin.  "));
    EXPECT_FALSE(errors[1].contains("The bin may be full")) << errors[1].toStdString();
    EXPECT_TRUE(errors[1].contains(a)) << errors[1].toStdString();
    EXPECT_TRUE(out.stopped);
    EXPECT_TRUE(QFileInfo::exists(a));
    EXPECT_TRUE(QFileInfo::exists(b));
}

// ---- Folder runs --------------------------------------------------------------------------------

// Runs a folder disposal to its end; every question is answered yes.
FolderClean* runFolder(std::unique_ptr<FolderClean>& run, const QString& folder, FolderMode mode,
                       QStringList* errors, const QString& zipFolder = QString()) {
    FolderCleanSettings settings;
    settings.folder = folder;
    settings.mode = mode;
    settings.zip.zipFolder = zipFolder;
    FolderCleanHooks hooks;
    hooks.confirm = [](const QString&) { return true; };
    hooks.error = [errors](const QString& m) { *errors << m; };
    run = std::make_unique<FolderClean>(settings, hooks);
    const Result<> started = run->start();
    if (!started) {
        *errors << started.message();
        return run.get();
    }
    while (run->step(64)) {
    }
    return run.get();
}

TEST_F(SafetyWorld, FolderRunsTakeReadOnlyFilesTheUserAgreedTo) {
    for (const FolderMode mode : {FolderMode::Recycle, FolderMode::Zip}) {
        errors.clear();
        const QString folder = world.makeDir(mode == FolderMode::Zip ? "c/user/z" : "c/user/r");
        const QString a = folder + "/a.txt";
        const QString ro = folder + "/ro.txt";
        const QString z = folder + "/z.txt";
        for (const QString& p : {a, ro, z}) {
            QFile f(p);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("data");
        }
        ASSERT_EQ(::chmod(QFile::encodeName(ro).constData(), 0444), 0);

        std::unique_ptr<FolderClean> run;
        runFolder(run, folder, mode, &errors, world.makeDir("zips"));
        EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
        EXPECT_EQ(run->count(), 3);
        EXPECT_FALSE(QFileInfo::exists(folder)) << int(mode);
    }
}

TEST_F(SafetyWorld, FolderDeletionStopsAtABindMountInside) {
    const QString guarded = file("sys/kept.conf", "keep");
    const QString folder = world.makeDir("c/user/chroot");
    file("user/chroot/own.txt");
    world.makeDir("c/user/chroot/etc");

    const int code = inBindMount(c("sys"), c("user/chroot/etc"), [&]() {
        for (const FolderMode mode : {FolderMode::Delete, FolderMode::Recycle}) {
            std::unique_ptr<FolderClean> run;
            QStringList errs;
            runFolder(run, folder, mode, &errs);
            CHILD_CHECK(QFileInfo::exists(guarded));
            CHILD_CHECK(QFileInfo::exists(c("user/chroot/etc/kept.conf")));
        }
        return 0;
    });
    if (code == kCannotMount)
        GTEST_SKIP() << "no privilege to make bind mounts here";
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(QFileInfo::exists(guarded));
    EXPECT_FALSE(QFileInfo::exists(c("user/chroot/own.txt")));
}

} // namespace
