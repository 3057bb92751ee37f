#include "delete/zipdestination.h"
#include "platform/paths.h"
#include "support/sandbox.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(ZipDestination, DriveLetterFromTheArchiveName) {
    using zipdest::archiveDriveLetter;
    EXPECT_EQ(archiveDriveLetter("/z/Drive-D-TempClean08Dec261530.zip"), QChar('D'));
    EXPECT_EQ(archiveDriveLetter("Drive-c-FolderClean01Jan250900.zip"), QChar('C'));
    EXPECT_EQ(archiveDriveLetter("/archives/Backup-Drive-E.zip"), QChar('E'));
    EXPECT_TRUE(archiveDriveLetter("/z/archive.zip").isNull());
    EXPECT_TRUE(archiveDriveLetter("/z/Drive-").isNull());
    EXPECT_TRUE(archiveDriveLetter("/z/Drive-1.zip").isNull());
    EXPECT_TRUE(archiveDriveLetter("").isNull());
    // Only the file name counts, not the folders above it.
    EXPECT_TRUE(archiveDriveLetter("/mnt/Drive-X/archive.zip").isNull());
    EXPECT_EQ(archiveDriveLetter("/mnt/Drive-X/Drive-D-Tag.zip"), QChar('D'));
}

TEST(ZipDestination, OnlyTheRootOfTheNamedDriveIsTheOriginalRoot) {
    SandboxWorld world;
    world.setDrives({"C", "D"});
    const QString d = world.path("d");
    world.makeDir("d/RESTORE");

    EXPECT_EQ(zipdest::driveRoot('d'), d);
    EXPECT_TRUE(zipdest::driveRoot('Q').isEmpty());
    EXPECT_TRUE(zipdest::driveRoot(QChar()).isEmpty());

    EXPECT_TRUE(zipdest::isOriginalRoot(d, 'D'));
    EXPECT_TRUE(zipdest::isOriginalRoot(d + "/", 'd'));
    EXPECT_FALSE(zipdest::isOriginalRoot(d + "/RESTORE", 'D'));
    EXPECT_FALSE(zipdest::isOriginalRoot(world.path("c"), 'D'));
    EXPECT_FALSE(zipdest::isOriginalRoot(d, QChar()));
    EXPECT_FALSE(zipdest::isOriginalRoot(QString(), 'D'));
}

TEST(ZipDestination, MountPointInsideAnotherDriveIsThatDrivesRoot) {
    SandboxWorld world;
    const QString c = world.makeDir("c");
    const QString e = world.makeDir("c/mnt/e");
    world.setEnv("VASTEL_DRIVES", "C=" + c + ";E=" + e);
    EXPECT_TRUE(zipdest::isOriginalRoot(e, 'E'));
    EXPECT_FALSE(zipdest::isOriginalRoot(e, 'C'));
    EXPECT_FALSE(zipdest::isOriginalRoot(world.path("c/mnt"), 'C'));
}

TEST(ZipDestination, MakeFolderPathCreatesMissingFoldersOnTheWay) {
    SandboxWorld world;
    const QString target = world.path("d/one/two/three");
    const Result<> made = zipdest::makeFolderPath(target);
    ASSERT_TRUE(made) << made.message().toStdString();
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_TRUE(zipdest::makeFolderPath(target)); // already there
    EXPECT_TRUE(zipdest::makeFolderPath(world.path("d/one/./x/../y")));
    EXPECT_TRUE(QFileInfo(world.path("d/one/y")).isDir());
    EXPECT_FALSE(QFileInfo(world.path("d/one/x")).exists());
}

TEST(ZipDestination, MakeFolderPathReportsTheSystemsMessage) {
    SandboxWorld world;
    world.makeFile("d/plain.txt", "x");
    const Result<> made = zipdest::makeFolderPath(world.path("d/plain.txt/sub"));
    EXPECT_FALSE(made);
    EXPECT_FALSE(made.message().isEmpty());
}

TEST(ZipDestination, EnterFolderChangesTheCurrentFolderOrSaysWhy) {
    SandboxWorld world;
    const QString before = QDir::currentPath();
    const QString d = world.makeDir("d");

    EXPECT_TRUE(platform::setCurrentFolder(d));
    EXPECT_EQ(QFileInfo(QDir::currentPath()).canonicalFilePath(), d);

    QString error;
    EXPECT_FALSE(platform::setCurrentFolder(world.path("missing"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QFileInfo(QDir::currentPath()).canonicalFilePath(), d);

    ASSERT_TRUE(platform::setCurrentFolder(before));
}
