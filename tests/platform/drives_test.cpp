#include "platform/drives.h"
#include "platform/paths.h"
#include "support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <gtest/gtest.h>

using namespace platform;

namespace {

QString lettered(const QList<Drive>& drives) {
    QStringList parts;
    for (const Drive& d : drives)
        parts << QString(d.letter) + "=" + d.root;
    return parts.join(';');
}

QList<Drive> letterAll(const QList<MountEntry>& mounts) {
    return assignDriveLetters(mounts, [](const QString&) { return true; });
}

// Restores the process's current folder when a test has moved it.
struct CurrentFolderGuard {
    QString saved = QDir::currentPath();
    ~CurrentFolderGuard() { QDir::setCurrent(saved); }
};

} // namespace

TEST(MountTable, ParsesLinesAndDecodesEscapes) {
    const QByteArray text = "27 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
                            "40 27 8:17 / /media/my\\040disk\\011x\\134y rw master:3 shared:9 - "
                            "vfat /dev/sd\\040b1 rw\n"
                            "41 27 8:18 / /media/caf\\303\\251 rw - ext4 /dev/sdc rw\n"
                            "42 27 8:19 / /media/a\\qb rw - xfs /dev/sdd rw\n"
                            "garbage line without separator\n"
                            "\n"
                            "43 27 0:5 / /x rw -\n";
    const QList<MountEntry> table = parseMountInfo(text);
    ASSERT_EQ(table.size(), 4);
    EXPECT_EQ(table[0].mountPoint, "/");
    EXPECT_EQ(table[0].fsType, "ext4");
    EXPECT_EQ(table[0].device, "/dev/vda");
    EXPECT_EQ(table[1].mountPoint, "/media/my disk\tx\\y");
    EXPECT_EQ(table[1].fsType, "vfat");
    EXPECT_EQ(table[1].device, "/dev/sd b1");
    EXPECT_EQ(table[2].mountPoint, QString::fromUtf8("/media/café"));
    EXPECT_EQ(table[3].mountPoint, "/media/a\\qb"); // not an escape: kept as written
    EXPECT_FALSE(parseMountInfoLine("1 2 3"));
}

TEST(MountTable, PseudoAndNetworkFileSystems) {
    for (const char* t : {"proc", "sysfs", "tmpfs", "cgroup2", "squashfs", "binfmt_misc", "nfs4",
                          "cifs", "fuse.sshfs", "9p", "fuse.gvfsd-fuse", "fuse.portal"})
        EXPECT_TRUE(isPseudoFileSystem(t)) << t;
    for (const char* t : {"ext4", "btrfs", "xfs", "vfat", "overlay", "fuseblk", "zfs"})
        EXPECT_FALSE(isPseudoFileSystem(t)) << t;
}

TEST(DriveLetters, RootIsCAndTheRestFollowMountPathOrder) {
    const QList<MountEntry> mounts = {{"/home", "ext4", "a"},     {"/proc", "proc", "proc"},
                                      {"/", "ext4", "b"},         {"/boot/efi", "vfat", "c"},
                                      {"/run", "tmpfs", "tmpfs"}, {"/boot", "ext4", "d"},
                                      {"/mnt/nas", "nfs4", "e"},  {"/data/", "xfs", "f"}};
    EXPECT_EQ(lettered(letterAll(mounts)), "C=/;D=/boot;E=/boot/efi;F=/data;G=/home");
    // The root is drive C whatever holds it, even when the table does not list it.
    EXPECT_EQ(lettered(letterAll({{"/", "tmpfs", "t"}, {"/m", "ext4", "x"}})), "C=/;D=/m");
    EXPECT_EQ(lettered(letterAll({})), "C=/");
}

TEST(DriveLetters, DuplicatesAndBoundFilesAndTheLastLetter) {
    // The last mount of a point hides the earlier ones.
    const QList<MountEntry> dup = {{"/", "ext4", "a"},        {"/tmp", "ext4", "b"},
                                   {"/tmp", "tmpfs", "c"},    {"/media/u", "tmpfs", "d"},
                                   {"/media/u", "vfat", "e"}, {"/", "ext4", "f"}};
    EXPECT_EQ(lettered(letterAll(dup)), "C=/;D=/media/u");

    const QList<MountEntry> bound = {
        {"/", "overlay", "o"}, {"/etc/hosts", "ext4", "h"}, {"/work", "ext4", "w"}};
    const auto folders = [](const QString& p) { return p != "/etc/hosts"; };
    EXPECT_EQ(lettered(assignDriveLetters(bound, folders)), "C=/;D=/work");

    QList<MountEntry> many = {{"/", "ext4", "r"}};
    for (int i = 29; i >= 0; --i)
        many.append({QString("/m%1").arg(i, 2, 10, QChar('0')), "ext4", "x"});
    const QList<Drive> drives = letterAll(many);
    ASSERT_EQ(drives.size(), 24);
    EXPECT_EQ(drives.first().letter, 'C');
    EXPECT_EQ(drives[1].root, "/m00");
    EXPECT_EQ(drives.last().letter, 'Z');
    EXPECT_EQ(drives.last().root, "/m22");
}

TEST(DriveLetters, RealMountTableGivesFoldersFromCToZ) {
    const QList<Drive> drives = assignDriveLetters(readMountTable());
    ASSERT_FALSE(drives.isEmpty());
    EXPECT_EQ(lettered({drives.first()}), "C=/");
    for (const Drive& d : drives) {
        EXPECT_TRUE(d.letter >= 'C' && d.letter <= 'Z');
        EXPECT_TRUE(isDirectory(d.root)) << d.root.toStdString();
    }
}

TEST(DriveMap, ParsesCleansAndSkipsMalformedItems) {
    EXPECT_EQ(lettered(parseDriveMap("d=/tmp/w/d/;C=/tmp/w/c")), "C=/tmp/w/c;D=/tmp/w/d");
    EXPECT_EQ(lettered(parseDriveMap(" e = /x/./y//z/ ; F=/ ;;")), "E=/x/y/z;F=/");
    EXPECT_EQ(lettered(parseDriveMap("A=/a;b=/b;X;=/n;CD=/cd;1=/one;G=;H=rel/dir;Z=/z")), "Z=/z");
    EXPECT_EQ(lettered(parseDriveMap("C=/first;C=/second")), "C=/second");
    EXPECT_TRUE(parseDriveMap("").isEmpty());
}

TEST(DriveWorld, LettersAndCacheFollowTheEnvironment) {
    SandboxWorld world;
    world.setDrives({"C", "D"});
    EXPECT_EQ(lettered(drives()), "C=" + world.path("c") + ";D=" + world.path("d"));
    ASSERT_TRUE(driveByLetter('d'));
    EXPECT_EQ(driveByLetter('d')->root, world.path("d"));
    EXPECT_FALSE(driveByLetter('E'));

    qputenv("VASTEL_DRIVES", ("E=" + world.path("c")).toUtf8());
    EXPECT_EQ(drives().size(), 2); // still the cached table
    world.reload();
    EXPECT_EQ(lettered(drives()), "E=" + world.path("c"));

    world.setEnv("VASTEL_DRIVES", ""); // empty: the mounted file systems
    EXPECT_EQ(drives().first().root, "/");
}

TEST(DriveWorld, DriveOfPathTakesTheLongestWholeComponentPrefix) {
    SandboxWorld world;
    world.makeDir("c/sub");
    world.setEnv("VASTEL_DRIVES",
                 "C=" + world.root() + ";D=" + world.path("c") + ";E=" + world.path("c/sub"));
    QFile::link(world.path("c/sub"), world.path("c/link"));
    const auto letterOf = [](const QString& p) {
        const auto d = driveOfPath(p);
        return d ? d->letter : QChar('-');
    };
    EXPECT_EQ(letterOf(world.path("cd/file")), 'C');
    EXPECT_EQ(letterOf(world.path("c")), 'D');
    EXPECT_EQ(letterOf(world.path("c/subway/x")), 'D');
    EXPECT_EQ(letterOf(world.path("c/sub/new/../x")), 'E');
    EXPECT_EQ(letterOf(world.path("c/link/x")), 'E'); // through the link
    EXPECT_EQ(letterOf("/nowhere-in-the-world"), '-');

    EXPECT_TRUE(isDriveRoot(world.path("c/")));
    EXPECT_TRUE(isDriveRoot(world.path("c/link")));
    EXPECT_FALSE(isDriveRoot(world.path("c/subway")));
    EXPECT_FALSE(isDriveRoot("/nowhere-in-the-world"));

    CurrentFolderGuard guard;
    ASSERT_TRUE(QDir::setCurrent(world.path("c/sub")));
    EXPECT_EQ(currentDriveLetter(), 'E');
    ASSERT_TRUE(QDir::setCurrent("/"));
    EXPECT_TRUE(currentDriveLetter().isNull());
}

TEST(DriveWorld, ReadyTestAndEntryText) {
    SandboxWorld world;
    world.setDrives({"C", "D"});
    CurrentFolderGuard guard;
    ASSERT_TRUE(QDir::setCurrent(world.path("d")));
    EXPECT_TRUE(isDriveReady('C'));
    EXPECT_TRUE(isDriveReady('d'));
    EXPECT_TRUE(isDriveReady('1')); // tested as C
    EXPECT_FALSE(isDriveReady('Q'));
    EXPECT_EQ(QDir::currentPath(), world.path("d"));

    ASSERT_TRUE(QDir(world.path("c")).removeRecursively());
    EXPECT_FALSE(isDriveReady('C'));
    EXPECT_FALSE(isDriveReady('1'));
    EXPECT_TRUE(isDriveReady('D'));

    EXPECT_EQ(driveEntryText({'C', "/"}), "c: [/]");
    EXPECT_EQ(driveEntryText({'D', "/media/my disk"}), "d: [/media/my disk]");
}

TEST(DriveWorld, GeometryAgreesWithTheFileSystem) {
    SandboxWorld world;
    world.setDrives({"C", "D"});
    DiskGeometry g;
    ASSERT_TRUE(diskGeometry('c', &g));
    EXPECT_EQ(g.bytesPerSector, 512u);
    EXPECT_GE(g.sectorsPerCluster, 1u);
    EXPECT_GT(g.totalClusters, 0u);
    EXPECT_LE(g.freeClusters, g.totalClusters);

    const QStorageInfo info(world.path("c"));
    if (info.blockSize() % 512 == 0) {
        EXPECT_EQ(qint64(g.capacity()), info.bytesTotal());
    }
    EXPECT_LE(qint64(g.freeBytes()), info.bytesTotal());

    EXPECT_FALSE(diskGeometry('Q', &g));
    EXPECT_FALSE(diskGeometry('C', nullptr));
    QDir(world.path("d")).removeRecursively();
    EXPECT_FALSE(diskGeometry('D', &g));
}
