#include "platform/fileops.h"
#include "platform/names.h"
#include "platform/paths.h"
#include "platform/trash.h"
#include "platform/trash_internal.h"
#include "support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStorageInfo>
#include <gtest/gtest.h>

using namespace platform;
using namespace platform::internal;

namespace {

constexpr QFileDevice::Permissions kGroupOrOther =
    QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
    QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

// Every entry of a folder, hidden ones included, sorted.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The Path line of a .trashinfo file.
QByteArray pathLine(const QByteArray& info) {
    for (const QByteArray& line : info.split('\n'))
        if (line.startsWith("Path="))
            return line.mid(5);
    return QByteArray();
}

// The home trash of a sandbox world, as moveToTrash finds it.
struct HomeTrash {
    SandboxWorld world;
    QString trash = world.path("xdg-data/Trash");
    QString files(const QString& name) const { return trash + "/files/" + name; }
    QString info(const QString& name) const { return trash + "/info/" + name + ".trashinfo"; }
};

bool makeSticky(const QString& folder) {
    return QProcess::execute("chmod", {"1777", folder}) == 0;
}

} // namespace

TEST(TrashInfo, TextPathEncodingAndStoredPath) {
    const QDateTime when(QDate(2026, 12, 8), QTime(15, 30, 5));
    EXPECT_EQ(trashInfoText("/home/ann/a b.txt", when),
              "[Trash Info]\nPath=/home/ann/a%20b.txt\nDeletionDate=2026-12-08T15:30:05\n");

    EXPECT_EQ(encodeTrashPath("/d/100%/50% off"), "/d/100%25/50%25%20off");
    EXPECT_EQ(encodeTrashPath(QString::fromUtf8("/caf\xc3\xa9/\xe2\x82\xac")),
              "/caf%C3%A9/%E2%82%AC");
    // Bytes that are not UTF-8 are written as themselves, not as replacement characters.
    EXPECT_EQ(encodeTrashPath(decodeName(QByteArray("/x/a\xff\xfe/b"))), "/x/a%FF%FE/b");
    EXPECT_EQ(encodeTrashPath("/keep-_.~!*'()/AZaz09"), "/keep-_.~!*'()/AZaz09");
    // "+" is a plus in a URL path, never a blank; reserved characters are escaped.
    EXPECT_EQ(encodeTrashPath("/a+b&c=d;e?f#g:h@i,j$k[l]\n"),
              "/a%2Bb%26c%3Dd%3Be%3Ff%23g%3Ah%40i%2Cj%24k%5Bl%5D%0A");

    EXPECT_EQ(storedTrashPath("/media/usb/a b/c", "/media/usb"), "a b/c");
    EXPECT_EQ(storedTrashPath("/srv/x", "/"), "srv/x");
}

TEST(TrashNames, FurtherAttemptsAndLongNames) {
    EXPECT_EQ(trashEntryName("report.txt", 1), "report.txt");
    EXPECT_EQ(trashEntryName("report.txt", 2), "report.2.txt");
    EXPECT_EQ(trashEntryName("archive.tar.gz", 3), "archive.tar.3.gz");
    EXPECT_EQ(trashEntryName(".profile", 2), ".profile.2");

    // Entry name plus ".trashinfo" must fit in 255 bytes.
    const QString longName = QString(250, 'a') + ".txt";
    EXPECT_EQ(encodeName(trashEntryName(longName, 1)).size(), 245);
    EXPECT_EQ(trashEntryName(longName, 2), QString(239, 'a') + ".2.txt");
    EXPECT_EQ(trashEntryName("a." + QString(250, 'x'), 2), "a." + QString(241, 'x') + ".2");

    // Shortening never splits a character: multi-byte UTF-8 or a surrogate pair.
    for (const QString& unit :
         {QString::fromUtf8("\xc3\xa9"), QString::fromUtf8("\xf0\x9f\x98\x80")}) {
        QString name;
        while (encodeName(name).size() < 255 - encodeName(unit).size())
            name += unit;
        const QByteArray bytes = encodeName(trashEntryName(name, 7));
        EXPECT_LE(bytes.size(), 245);
        EXPECT_EQ(QString::fromUtf8(bytes).toUtf8(), bytes); // valid UTF-8 throughout
    }
}

TEST(HomeTrash, CreatedWhenMissingAndTheFileMoved) {
    HomeTrash t;
    const QString file = t.world.makeFile("c/my docs/a b%.txt", "hello");
    ASSERT_FALSE(QFileInfo::exists(t.trash));

    const QDateTime before = QDateTime::currentDateTime().addMSecs(-1000);
    QString error;
    ASSERT_TRUE(moveToTrash(file, &error)) << error.toStdString();
    const QDateTime after = QDateTime::currentDateTime();

    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(SandboxWorld::readBytes(t.files("a b%.txt")), "hello");
    for (const QString& folder : {t.trash, t.trash + "/files", t.trash + "/info"}) {
        EXPECT_TRUE(QFileInfo(folder).isDir()) << folder.toStdString();
        EXPECT_EQ(QFileInfo(folder).permissions() & kGroupOrOther, 0) << folder.toStdString();
    }
    EXPECT_EQ(entries(t.trash + "/info"), QStringList{"a b%.txt.trashinfo"});

    const QByteArray info = SandboxWorld::readBytes(t.info("a b%.txt"));
    const QByteArray head = "[Trash Info]\nPath=" + encodeTrashPath(t.world.root()) +
                            "/c/my%20docs/a%20b%25.txt\nDeletionDate=";
    ASSERT_TRUE(info.startsWith(head)) << info.toStdString();
    const QByteArray date = info.mid(head.size());
    ASSERT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\n$")
                    .match(QString::fromLatin1(date))
                    .hasMatch())
        << date.toStdString();
    const QDateTime stamped = QDateTime::fromString(date.trimmed(), "yyyy-MM-dd'T'HH:mm:ss");
    EXPECT_TRUE(stamped >= before && stamped <= after) << date.toStdString();
}

TEST(HomeTrash, WhereTheHomeTrashIs) {
    SandboxWorld world;
    // Missing parents of the trash are made as well.
    world.setEnv("XDG_DATA_HOME", world.path("new/share/"));
    EXPECT_EQ(homeTrashFolder(), world.path("new/share/Trash"));
    ASSERT_TRUE(moveToTrash(world.makeFile("c/one")));
    EXPECT_TRUE(QFileInfo::exists(world.path("new/share/Trash/files/one")));
    EXPECT_EQ(QFileInfo(world.path("new")).permissions() & kGroupOrOther, 0);

    // Unset, empty or relative values fall back to ~/.local/share.
    for (const QString& value : {QString(), QString(""), QString("rel/share")}) {
        world.setEnv("XDG_DATA_HOME", value);
        EXPECT_EQ(homeTrashFolder(), world.path("home/.local/share/Trash"));
    }
    ASSERT_TRUE(moveToTrash(world.makeFile("c/two")));
    EXPECT_TRUE(QFileInfo::exists(world.path("home/.local/share/Trash/files/two")));
}

TEST(HomeTrash, SameNamesGetFreshNamesAndNothingIsOverwritten) {
    HomeTrash t;
    const QString first = t.world.makeFile("c/x/r.txt", "first");
    const QString second = t.world.makeFile("c/y/r.txt", "second");
    ASSERT_TRUE(moveToTrash(first));
    ASSERT_TRUE(moveToTrash(second));
    EXPECT_EQ(SandboxWorld::readBytes(t.files("r.txt")), "first");
    EXPECT_EQ(SandboxWorld::readBytes(t.files("r.2.txt")), "second");
    EXPECT_TRUE(pathLine(SandboxWorld::readBytes(t.info("r.txt"))).endsWith("/c/x/r.txt"));
    EXPECT_TRUE(pathLine(SandboxWorld::readBytes(t.info("r.2.txt"))).endsWith("/c/y/r.txt"));

    // A stray entry in files/ without its .trashinfo, and a stray .trashinfo without its entry.
    t.world.makeFile("xdg-data/Trash/files/n.txt", "stray file");
    t.world.makeFile("xdg-data/Trash/info/m.txt.trashinfo", "stray info");
    t.world.makeDir("xdg-data/Trash/files/d");
    ASSERT_TRUE(moveToTrash(t.world.makeFile("c/n.txt", "new n")));
    ASSERT_TRUE(moveToTrash(t.world.makeFile("c/m.txt", "new m")));
    ASSERT_TRUE(moveToTrash(t.world.makeDir("c/d")));
    EXPECT_EQ(SandboxWorld::readBytes(t.files("n.txt")), "stray file");
    EXPECT_EQ(SandboxWorld::readBytes(t.files("n.2.txt")), "new n");
    EXPECT_EQ(SandboxWorld::readBytes(t.info("m.txt")), "stray info");
    EXPECT_FALSE(QFileInfo::exists(t.files("m.txt")));
    EXPECT_EQ(SandboxWorld::readBytes(t.files("m.2.txt")), "new m");
    EXPECT_TRUE(QFileInfo(t.files("d.2")).isDir());
    EXPECT_EQ(entries(t.trash + "/info"),
              QStringList({"d.2.trashinfo", "m.2.txt.trashinfo", "m.txt.trashinfo",
                           "n.2.txt.trashinfo", "r.2.txt.trashinfo", "r.txt.trashinfo"}));
    EXPECT_EQ(entries(t.trash + "/files"),
              QStringList({"d", "d.2", "m.2.txt", "n.2.txt", "n.txt", "r.2.txt", "r.txt"}));
}

TEST(HomeTrash, FoldersLinksAndOddNames) {
    HomeTrash t;
    // A folder goes whole, also when named with a trailing "/".
    t.world.makeFile("c/tree/sub/leaf", "leaf");
    ASSERT_TRUE(moveToTrash(t.world.path("c/tree/")));
    EXPECT_FALSE(QFileInfo::exists(t.world.path("c/tree")));
    EXPECT_EQ(SandboxWorld::readBytes(t.files("tree/sub/leaf")), "leaf");
    EXPECT_TRUE(pathLine(SandboxWorld::readBytes(t.info("tree"))).endsWith("/c/tree"));

    // A symbolic link goes itself; its target stays.  A dangling link can be trashed too.
    const QString target = t.world.makeFile("c/target", "kept");
    ASSERT_TRUE(QFile::link(target, t.world.path("c/link")));
    ASSERT_TRUE(QFile::link(t.world.path("c/nowhere"), t.world.path("c/dangling")));
    ASSERT_TRUE(moveToTrash(t.world.path("c/link")));
    ASSERT_TRUE(moveToTrash(t.world.path("c/dangling")));
    EXPECT_EQ(SandboxWorld::readBytes(target), "kept");
    EXPECT_TRUE(isSymLink(t.files("link")));
    EXPECT_EQ(QFileInfo(t.files("link")).symLinkTarget(), target);
    EXPECT_TRUE(isSymLink(t.files("dangling")));
    EXPECT_FALSE(isSymLink(t.world.path("c/link")) || isSymLink(t.world.path("c/dangling")));

    // Links in the folders leading to the entry are resolved in the recorded path.
    t.world.makeFile("c/real/f", "f");
    ASSERT_TRUE(QFile::link(t.world.path("c/real"), t.world.path("c/alias")));
    ASSERT_TRUE(moveToTrash(t.world.path("c/alias/f")));
    EXPECT_EQ(pathLine(SandboxWorld::readBytes(t.info("f"))),
              encodeTrashPath(t.world.path("c/real/f")));

    // A relative path is taken from the current folder.
    t.world.makeFile("c/rel.txt", "rel");
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(t.world.path("c")));
    const bool relMoved = moveToTrash("rel.txt");
    QDir::setCurrent(saved);
    ASSERT_TRUE(relMoved);
    EXPECT_EQ(pathLine(SandboxWorld::readBytes(t.info("rel.txt"))),
              encodeTrashPath(t.world.path("c/rel.txt")));

    // A name of the longest length is shortened so that its .trashinfo can exist.
    ASSERT_TRUE(moveToTrash(t.world.makeFile("c/" + QString(255, 'L'), "long")));
    EXPECT_EQ(SandboxWorld::readBytes(t.files(QString(245, 'L'))), "long");

    // Non-ASCII and invalid UTF-8 names keep their bytes, in files/ and in the Path.  Qt's own
    // file classes cannot name such entries, so they are reached through the platform layer.
    const QString odd = decodeName(QByteArray("bad\xff name \xc3\xa9"));
    const QString oddFolder = t.world.path("c/" + odd);
    ASSERT_TRUE(makeFolder(oddFolder));
    ASSERT_TRUE(makeFolder(oddFolder + "/inner"));
    ASSERT_TRUE(moveToTrash(oddFolder + "/inner"));
    EXPECT_TRUE(QFileInfo(t.files("inner")).isDir());
    EXPECT_TRUE(pathLine(SandboxWorld::readBytes(t.info("inner")))
                    .endsWith("/c/bad%FF%20name%20%C3%A9/inner"));
    ASSERT_TRUE(moveToTrash(oddFolder));
    EXPECT_FALSE(removeFolder(oddFolder)); // gone from its place
    EXPECT_TRUE(removeFolder(t.files(odd)));
    EXPECT_TRUE(removeFile(t.info(odd)));
}

TEST(HomeTrash, FailuresLeaveNothingBehind) {
    HomeTrash t;
    QString error;
    // A path that does not exist: false, and no trash made.
    EXPECT_FALSE(moveToTrash(t.world.path("c/missing"), &error));
    EXPECT_TRUE(error.contains(t.world.path("c/missing"))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(t.trash));
    for (const QString& bad :
         {QString(), QString("/"), t.world.path("c/.."), t.world.path("c/.")}) {
        error.clear();
        EXPECT_FALSE(moveToTrash(bad, &error)) << bad.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }

    // The rename fails (files/ is a plain file): the .trashinfo made for it is removed again.
    t.world.makeFile("xdg-data/Trash/files", "not a folder");
    const QString file = t.world.makeFile("c/keep.txt", "keep");
    error.clear();
    EXPECT_FALSE(moveToTrash(file, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(SandboxWorld::readBytes(file), "keep");
    EXPECT_EQ(SandboxWorld::readBytes(t.trash + "/files"), "not a folder");
    EXPECT_TRUE(entries(t.trash + "/info").isEmpty());

    // The trash itself, a folder holding it, and what already lies in it are refused.
    QFile::remove(t.trash + "/files");
    t.world.makeFile("xdg-data/Trash/files/old", "old");
    for (const QString& p :
         {t.trash, t.world.path("xdg-data"), t.world.root(), t.files("old"), t.trash + "/info"}) {
        EXPECT_FALSE(moveToTrash(p)) << p.toStdString();
        EXPECT_TRUE(QFileInfo::exists(p));
    }
    EXPECT_EQ(entries(t.trash + "/files"), QStringList{"old"});
    EXPECT_TRUE(entries(t.trash + "/info").isEmpty());
}

TEST(TopDirectory, TheTrashThatIsChosen) {
    SandboxWorld world;
    const uint uid = currentUserId();
    const QString id = QString::number(uid);
    QString error;

    // No .Trash: .Trash-$uid is made, private to the user.
    const QString plain = world.makeDir("plain");
    EXPECT_EQ(topDirectoryTrash(plain, uid), plain + "/.Trash-" + id);
    EXPECT_TRUE(QFileInfo(plain + "/.Trash-" + id).isDir());
    EXPECT_EQ(QFileInfo(plain + "/.Trash-" + id).permissions() & kGroupOrOther, 0);

    // An administrator's sticky .Trash: $uid inside it is made and used.
    const QString sticky = world.makeDir("sticky");
    ASSERT_TRUE(makeSticky(world.makeDir("sticky/.Trash")));
    EXPECT_EQ(topDirectoryTrash(sticky, uid), sticky + "/.Trash/" + id);
    EXPECT_TRUE(QFileInfo(sticky + "/.Trash/" + id).isDir());
    EXPECT_FALSE(QFileInfo::exists(sticky + "/.Trash-" + id));

    // A .Trash without the sticky bit, a link to a sticky folder, or a plain file is passed over,
    // and nothing is made inside it.
    const QString loose = world.makeDir("loose");
    world.makeDir("loose/.Trash");
    const QString linked = world.makeDir("linked");
    ASSERT_TRUE(QFile::link(sticky + "/.Trash", linked + "/.Trash"));
    const QString filed = world.makeDir("filed");
    world.makeFile("filed/.Trash");
    QFile::remove(sticky + "/.Trash/" + id);
    QDir(sticky + "/.Trash").rmdir(id);
    for (const QString& top : {loose, linked, filed}) {
        EXPECT_EQ(topDirectoryTrash(top, uid), top + "/.Trash-" + id) << top.toStdString();
        EXPECT_TRUE(entries(top + "/.Trash").isEmpty());
    }

    // $uid in a sticky .Trash that is a link is not trusted: .Trash-$uid instead.
    const QString tricky = world.makeDir("tricky");
    ASSERT_TRUE(makeSticky(world.makeDir("tricky/.Trash")));
    ASSERT_TRUE(QFile::link(world.makeDir("elsewhere"), tricky + "/.Trash/" + id));
    EXPECT_EQ(topDirectoryTrash(tricky, uid), tricky + "/.Trash-" + id);

    // No usable trash at all: a .Trash-$uid that is a link, a file, or another user's folder.
    const QString bad = world.makeDir("bad");
    ASSERT_TRUE(QFile::link(world.path("elsewhere"), bad + "/.Trash-" + id));
    EXPECT_TRUE(topDirectoryTrash(bad, uid, &error).isEmpty());
    EXPECT_TRUE(error.contains("symbolic link")) << error.toStdString();
    const QString other = world.makeDir("other");
    world.makeDir("other/.Trash-" + QString::number(uid + 4242));
    error.clear();
    EXPECT_TRUE(topDirectoryTrash(other, uid + 4242, &error).isEmpty());
    EXPECT_TRUE(error.contains("another user")) << error.toStdString();
    EXPECT_TRUE(entries(world.path("elsewhere")).isEmpty());
}

TEST(TopDirectory, MountPointOfAFolder) {
    SandboxWorld world;
    const QString deep = world.makeDir("a/b/c");
    EXPECT_EQ(topDirectoryOf(deep), QStorageInfo(deep).rootPath());
    EXPECT_EQ(topDirectoryOf("/"), "/");
}
