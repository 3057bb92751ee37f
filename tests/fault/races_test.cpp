// Files and folders that change between the search and the run.
#include "delete/folderclean.h"
#include "fault/faultworld.h"
#include "platform/trash.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace {

using namespace fault;

class Races : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C"});
        zips = world.makeDir("zips");
        outside = world.makeFile("outside/keep.txt", "outside");
        guarded = world.makeFile("windows/guarded.ini", "guarded");
    }

    SandboxWorld world;
    QString zips, outside, guarded;
};

TEST_F(Races, LinksVanishedFilesAndOthersAreToldApart) {
    using Run = std::function<DisposalOutcome(const ListedFiles&, const DisposalHooks&)>;
    ZipRunSettings zip;
    zip.zipFolder = zips;
    const std::vector<std::pair<const char*, Run>> runs = {
        {"delete",
         [](const ListedFiles& f, const DisposalHooks& h) { return deleteFiles(f, 0, h); }},
        {"trash",
         [](const ListedFiles& f, const DisposalHooks& h) { return recycleFiles(f, 0, h); }},
        {"zip",
         [&zip](const ListedFiles& f, const DisposalHooks& h) { return zipFiles(f, 0, zip, h); }}};
    for (const auto& [name, run] : runs) {
        SCOPED_TRACE(name);
        const QString folder = world.path(QStringLiteral("c/%1/").arg(name));
        const QStringList paths = {world.makeFile(QStringLiteral("c/%1/plain").arg(name), "p"),
                                   world.makeFile(QStringLiteral("c/%1/toOut").arg(name), "o"),
                                   world.makeFile(QStringLiteral("c/%1/toGuard").arg(name), "g"),
                                   world.makeFile(QStringLiteral("c/%1/gone").arg(name), "v")};
        ListedFiles files;
        for (const QString& p : paths)
            files.append({p, platform::fileStamp(p).identity()});
        // Between the search and the run: two files become links, one goes.
        for (int i : {1, 2})
            ASSERT_TRUE(QFile::remove(paths[i]));
        ASSERT_TRUE(QFile::link(outside, paths[1]));
        ASSERT_TRUE(QFile::link(guarded, paths[2]));
        ASSERT_TRUE(QFile::remove(paths[3]));

        QStringList errors;
        DisposalHooks hooks;
        hooks.error = [&errors](const QString& message) { errors << message; };
        const DisposalOutcome out = run(files, hooks);
        EXPECT_EQ(out.disposed, 1);
        EXPECT_FALSE(QFileInfo::exists(paths[0]));
        EXPECT_TRUE(QFileInfo(paths[1]).isSymLink());
        EXPECT_TRUE(QFileInfo(paths[2]).isSymLink());
        EXPECT_EQ(errors.size(), 3) << errors.join('\n').toStdString();
        EXPECT_EQ(SandboxWorld::readBytes(outside), "outside");
        EXPECT_EQ(SandboxWorld::readBytes(guarded), "guarded");
    }
}

TEST_F(Races, AFolderSwappedForALinkDuringFolderDeletionLeavesItsTargetAlone) {
    for (int i = 0; i < 40; ++i)
        world.makeFile(QStringLiteral("c/victim/a/f%1").arg(i), "a");
    world.makeFile("c/victim/z/inner.txt", "z");
    world.makeFile("outside/tree/precious.txt", "precious");
    FolderCleanSettings settings;
    settings.folder = world.path("c/victim");
    FolderCleanHooks hooks;
    hooks.confirm = [](const QString&) { return true; };
    bool swapped = false;
    hooks.counted = [&](qint64, const QString&) {
        if (swapped)
            return;
        // The first file is being handled: both subfolders become links to the outside tree.
        swapped = true;
        for (const char* sub : {"c/victim/a", "c/victim/z"}) {
            const QString path = world.path(sub);
            ASSERT_TRUE(QFile::rename(path, path + ".moved"));
            ASSERT_TRUE(QFile::link(world.path("outside/tree"), path));
        }
    };
    FolderClean clean(settings, hooks);
    const Result<> started = clean.start();
    ASSERT_TRUE(started) << started.message().toStdString();
    while (clean.step(4)) {
    }
    EXPECT_TRUE(swapped);
    EXPECT_EQ(SandboxWorld::readBytes(world.path("outside/tree/precious.txt")), "precious");
    EXPECT_EQ(SandboxWorld::readBytes(outside), "outside");
}

TEST_F(Races, AFileOnAnotherFileSystemIsTrashedThereOrStays) {
    struct stat shm {
    }, home{};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(QFile::encodeName(world.root()), &home) != 0 ||
        shm.st_dev == home.st_dev)
        GTEST_SKIP() << "no second file system at /dev/shm to trash across";
    QTemporaryDir dir(QStringLiteral("/dev/shm/vastel-fault-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("far.txt");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("far") == 3);
    f.close();
    const QString trash = QStringLiteral("/dev/shm/.Trash-%1").arg(::getuid());
    const bool trashExisted = QFileInfo::exists(trash);

    const platform::FileResult moved =
        platform::moveToTrashIfUnchanged(file, platform::fileStamp(file).identity());
    const QString homeCopy = world.path("xdg-data/Trash/files/far.txt");
    EXPECT_FALSE(QFileInfo::exists(homeCopy)) << "copied across file systems";
    if (moved.ok()) {
        EXPECT_FALSE(QFileInfo::exists(file));
        QDirIterator it(trash + "/files", QDir::Files);
        bool found = false;
        while (it.hasNext())
            if (it.next().contains("far") && SandboxWorld::readBytes(it.filePath()) == "far") {
                found = true;
                const QString name = it.fileName();
                EXPECT_TRUE(QFileInfo::exists(trash + "/info/" + name + ".trashinfo"));
                QFile::remove(trash + "/info/" + name + ".trashinfo");
                QFile::remove(it.filePath());
            }
        EXPECT_TRUE(found);
    } else {
        EXPECT_EQ(SandboxWorld::readBytes(file), "far");
    }
    if (!trashExisted)
        QDir(trash).removeRecursively();
}

} // namespace
