#include "archivekit.h"
#include "platform/claims.h"
#include "platform/fileops.h"
#include "platform/filesync.h"
#include "platform/names.h"
#include "support/sandbox.h"
#include "zip/zipreader.h"
#include "zip/zipwriter.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using zip::ZipReader;
using zip::ZipWriter;

namespace {

// A world with drives C and D and a folder for the archives.
class ZipWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C", "D"});
        zipFolder = world.makeDir("zips");
        archive = zipFolder + "/Drive-C-Test.zip";
    }

    QString file(const QString& relative, const QByteArray& content, qint64 mtime = 0) {
        const QString path = world.makeFile(relative, content);
        if (mtime != 0)
            platform::setFileTimes(path, mtime);
        return path;
    }

    QStringList storedNames() { return archivekit::contents(archive).keys(); }

    SandboxWorld world;
    QString zipFolder;
    QString archive;
};

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

} // namespace

TEST_F(ZipWriterTest, FilesOfTwoDrivesComeBackByteForByteWithTheirTimes) {
    const QByteArray big = archivekit::randomBytes(300 * 1024, 7);
    const QString a = file("c/home/ann/a.txt", "alpha\n", 1600000001);
    const QString b = file("c/home/ann/sub/b.bin", big, 1500000000);
    const QString c = file("d/data/c.txt", QByteArray(5000, 'c'), 1700000003);
    const QString e = file("c/empty", QByteArray(), 1650000000);

    // One archive per drive, as the deletion window writes them.
    const QString archiveD = zipFolder + "/Drive-D-Test.zip";
    ZipWriter writer;
    ASSERT_TRUE(writer.open(archive));
    for (const QString& path : {a, b, e})
        ASSERT_TRUE(writer.addFile(path)) << writer.lastError().toStdString();
    EXPECT_EQ(writer.pendingCount(), 3);
    EXPECT_EQ(writer.pendingBytes(), 6 + big.size());
    ZipWriter::Results results = writer.flush();
    EXPECT_EQ(sorted(results.storedPaths()), sorted({a, b, e}));
    EXPECT_TRUE(results.failed.isEmpty());
    EXPECT_EQ(writer.pendingCount(), 0);
    EXPECT_EQ(writer.archiveWrites(), 1);
    ASSERT_TRUE(writer.open(archiveD));
    ASSERT_TRUE(writer.addFile(c));
    EXPECT_EQ(writer.flush().storedPaths(), QStringList({c}));

    // Names below each drive's root; deflated, not encrypted, Unix regular files.
    ZipReader reader;
    ASSERT_TRUE(reader.open(archive));
    QStringList names;
    for (const zip::ZipEntry& entry : reader.entries()) {
        names << entry.path;
        EXPECT_FALSE(entry.encrypted);
        ASSERT_TRUE(entry.unixMode.has_value());
        EXPECT_EQ(*entry.unixMode & 0170000, 0100000u);
    }
    EXPECT_EQ(sorted(names), QStringList({"empty", "home/ann/a.txt", "home/ann/sub/b.bin"}));
    ZipReader readerD;
    ASSERT_TRUE(readerD.open(archiveD));
    ASSERT_EQ(readerD.entryCount(), 1);
    EXPECT_EQ(readerD.entries()[0].path, "data/c.txt");
    EXPECT_LT(readerD.entries()[0].compressedSize, 5000);
    EXPECT_EQ(readerD.entries()[0].modified.toSecsSinceEpoch(), 1700000003);

    // Extracting into the drive roots puts the files back where they were, times included.
    for (const QString& path : {a, b, c, e})
        ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(reader.extract(world.path("c")).extracted, 3);
    EXPECT_EQ(readerD.extract(world.path("d")).extracted, 1);
    EXPECT_EQ(SandboxWorld::readBytes(a), "alpha\n");
    EXPECT_EQ(SandboxWorld::readBytes(b), big);
    EXPECT_EQ(SandboxWorld::readBytes(c), QByteArray(5000, 'c'));
    EXPECT_EQ(platform::fileStamp(e).kind, platform::FileKind::Regular);
    EXPECT_EQ(platform::fileStamp(a).modifiedSeconds, 1600000001);
    EXPECT_EQ(platform::fileStamp(b).modifiedSeconds, 1500000000);
    EXPECT_EQ(platform::fileStamp(c).modifiedSeconds, 1700000003);
}

TEST_F(ZipWriterTest, AWrittenArchiveIsNeverRewrittenNorAnEntryReplaced) {
    const QString a = file("c/a.txt", "first a");
    {
        ZipWriter writer;
        ASSERT_TRUE(writer.open(archive));
        ASSERT_TRUE(writer.addFile(a));
        // The destructor writes what is pending.
    }
    ASSERT_EQ(storedNames(), QStringList({"a.txt"}));
    const QByteArray first = SandboxWorld::readBytes(archive);

    const QString b = file("c/b.txt", "bee");
    ZipWriter writer;
    ASSERT_TRUE(writer.open(archive));
    ASSERT_TRUE(writer.addFile(b));
    // The same name keeps the batch.
    ASSERT_TRUE(writer.open(zipFolder + "/../zips/Drive-C-Test.zip"));
    EXPECT_EQ(writer.pendingCount(), 1);
    // Another name writes the batch first, to a fresh archive; its results wait in takeResults().
    ASSERT_TRUE(writer.open(zipFolder + "/other.zip"));
    const ZipWriter::Results moved = writer.takeResults();
    EXPECT_EQ(moved.storedPaths(), QStringList({b}));
    EXPECT_EQ(moved.archives, QStringList({zipFolder + "/Drive-C-Test-2.zip"}));
    EXPECT_TRUE(writer.takeResults().stored.isEmpty());

    // A later run of the same minute with a new a.txt: a third archive; the first keeps the
    // old a.txt byte for byte.
    file("c/a.txt", "second a, longer");
    ASSERT_TRUE(writer.open(archive));
    ASSERT_TRUE(writer.addFile(a));
    EXPECT_EQ(writer.flush().storedPaths(), QStringList({a}));
    EXPECT_EQ(SandboxWorld::readBytes(archive), first);
    EXPECT_EQ(archivekit::contents(zipFolder + "/Drive-C-Test-2.zip").value("b.txt"), "bee");
    EXPECT_EQ(archivekit::contents(zipFolder + "/Drive-C-Test-3.zip").value("a.txt"),
              "second a, longer");
}

TEST_F(ZipWriterTest, AFileThatIsNoLongerAsListedIsNotAdded) {
    const QString a = file("c/a.txt", "as listed");
    const platform::FileIdentity seen = platform::fileStamp(a).identity();
    file("c/a.txt", "edited after the search");
    ZipWriter writer;
    ASSERT_TRUE(writer.open(archive));
    EXPECT_EQ(writer.addFile(a, seen).status, platform::FileResult::Changed);
    EXPECT_EQ(writer.pendingCount(), 0);
    // What a flush reports stored carries the identity the file had when it was read.
    ASSERT_TRUE(writer.addFile(a, platform::fileStamp(a).identity()));
    const ZipWriter::Results results = writer.flush();
    ASSERT_EQ(results.stored.size(), 1);
    EXPECT_TRUE(results.stored[0].identity.matches(platform::fileStamp(a).identity()));
    EXPECT_NE(results.stored[0].identity.changed, 0);
}

TEST_F(ZipWriterTest, CommentIsKeptUpToEightyCharacters) {
    const QString a = file("c/a.txt", "a");
    const QString longComment = QString::fromUtf8("Caf\xc3\xa9 ") + QString(100, 'x');
    ZipWriter writer;
    ASSERT_TRUE(writer.open(archive));
    writer.setComment(longComment);
    ASSERT_TRUE(writer.addFile(a));
    writer.flush();
    ZipReader reader;
    ASSERT_TRUE(reader.open(archive));
    EXPECT_EQ(reader.comment(), longComment.left(80));

    // A new comment goes into the next archive; nothing to write, no archive.
    writer.setComment("Old duplicates");
    EXPECT_TRUE(writer.flush().archives.isEmpty());
    ASSERT_TRUE(writer.addFile(a));
    writer.flush();
    ASSERT_TRUE(reader.open(zipFolder + "/Drive-C-Test-2.zip"));
    EXPECT_EQ(reader.comment(), "Old duplicates");
}

TEST_F(ZipWriterTest, BaseFolderNamesAndRefusedFiles) {
    const QString inside = file("c/work/project/src/main.cpp", "int main() {}");
    const QString outside = file("c/other/x.txt", "x");
    ZipWriter writer;
    EXPECT_FALSE(writer.addFile(inside)); // nothing open yet
    ASSERT_TRUE(writer.open(archive));
    writer.setBaseFolder(world.path("c/work"));
    ASSERT_TRUE(writer.addFile(inside));
    ASSERT_TRUE(writer.addFile(outside)); // not below the base folder: the drive rule

    // Things that are not regular files of a drive, or are the archive itself.
    QFile::link(inside, world.path("c/link.cpp"));
    EXPECT_FALSE(writer.addFile(world.path("c/link.cpp")));
    EXPECT_FALSE(writer.addFile(world.path("c/work")));
    EXPECT_FALSE(writer.addFile(world.path("c/missing.txt")));
    EXPECT_FALSE(writer.addFile("c/work/project/src/main.cpp"));
    EXPECT_FALSE(writer.addFile(world.makeFile("nodrive.txt", "n")));
    writer.flush();
    EXPECT_FALSE(writer.addFile(archive));
    EXPECT_EQ(storedNames(), QStringList({"other/x.txt", "project/src/main.cpp"}));
}

TEST_F(ZipWriterTest, TwoFilesForOneEntryInOneBatch) {
    // c/a.txt by the drive rule and c/base/a.txt below the base folder both become "a.txt";
    // the later one takes the entry and the earlier one must not be reported stored.
    const QString first = file("c/a.txt", "drive root");
    const QString second = file("c/base/a.txt", "below base");
    ZipWriter writer;
    ASSERT_TRUE(writer.open(archive));
    ASSERT_TRUE(writer.addFile(first));
    ASSERT_TRUE(writer.addFile(first)); // the same file twice counts once
    writer.setBaseFolder(world.path("c/base"));
    ASSERT_TRUE(writer.addFile(second));
    EXPECT_EQ(writer.pendingCount(), 1);
    const ZipWriter::Results results = writer.flush();
    EXPECT_EQ(results.storedPaths(), QStringList({second}));
    EXPECT_EQ(results.failed, QStringList({first}));
    EXPECT_EQ(archivekit::contents(archive).value("a.txt"), "below base");
}

TEST_F(ZipWriterTest, FilesThatVanishOrChangeBeforeTheFlushAreNotStored) {
    const QString gone = file("c/gone.txt", "soon gone");
    const QString kept = file("c/kept.txt", "stays as it is");
    const QString grows = file("c/grows.txt", "short");
    ZipWriter writer;
    ASSERT_TRUE(writer.open(archive));
    for (const QString& path : {gone, kept, grows})
        ASSERT_TRUE(writer.addFile(path));
    QFile::remove(gone);
    file("c/grows.txt", "much longer than before");
    const ZipWriter::Results results = writer.flush();
    EXPECT_EQ(results.storedPaths(), QStringList({kept}));
    EXPECT_EQ(sorted(results.failed), sorted({gone, grows}));
    EXPECT_EQ(archivekit::contents(archive).value("kept.txt"), "stays as it is");
    EXPECT_FALSE(archivekit::contents(archive).contains("gone.txt"));
}

TEST_F(ZipWriterTest, ProgressRunsToOneHundredAndAnAbortLeavesTheArchiveAsItWas) {
    ZipWriter writer;
    QList<int> seen;
    bool abort = false;
    writer.setProgress([&](int percent) {
        seen << percent;
        return abort && percent > 0;
    });
    ASSERT_TRUE(writer.open(archive));
    const QString first = file("c/first.bin", archivekit::randomBytes(200 * 1024, 1));
    ASSERT_TRUE(writer.addFile(first));
    ASSERT_EQ(writer.flush().storedPaths(), QStringList({first}));
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    const QByteArray before = SandboxWorld::readBytes(archive);

    QStringList batch;
    for (int i = 0; i < 3; ++i)
        batch << file(QString("c/big%1.bin").arg(i), archivekit::randomBytes(1024 * 1024, 10 + i));
    for (const QString& path : batch)
        ASSERT_TRUE(writer.addFile(path));
    seen.clear();
    abort = true;
    const ZipWriter::Results aborted = writer.flush();
    EXPECT_TRUE(aborted.aborted);
    EXPECT_TRUE(aborted.stored.isEmpty());
    EXPECT_EQ(sorted(aborted.failed), sorted(batch));
    EXPECT_EQ(SandboxWorld::readBytes(archive), before);
    EXPECT_EQ(QDir(zipFolder).entryList(QDir::Files | QDir::Hidden),
              QStringList({"Drive-C-Test.zip"})); // no temporary file left behind

    // The writer goes on with the archive as it is on disk.
    EXPECT_TRUE(writer.isOpen());
    EXPECT_EQ(writer.pendingCount(), 0);
    abort = false;
    ASSERT_TRUE(writer.addFile(batch[0]));
    EXPECT_EQ(writer.flush().storedPaths(), QStringList({batch[0]}));
    EXPECT_EQ(storedNames(), QStringList({"first.bin"}));
    EXPECT_EQ(archivekit::contents(zipFolder + "/Drive-C-Test-2.zip").keys(),
              QStringList({"big0.bin"}));
}

TEST_F(ZipWriterTest, AnArchiveThatCannotBeWrittenStoresNothing) {
    const QString a = file("c/a.txt", "a");
    const QString b = file("c/b.txt", "b");

    // The folder is missing, or is a file.
    ZipWriter writer;
    EXPECT_FALSE(writer.open(world.path("nowhere/x.zip")));
    EXPECT_FALSE(writer.addFile(a));
    const QString notFolder = file("plain", "not a folder");
    EXPECT_FALSE(writer.open(notFolder + "/x.zip"));
    // A file that is no archive is never written over: the batch goes to a fresh name.
    ASSERT_TRUE(writer.open(notFolder));
    ASSERT_TRUE(writer.addFile(a));
    EXPECT_EQ(writer.flush().archives, QStringList({notFolder + "-2"}));
    EXPECT_EQ(SandboxWorld::readBytes(notFolder), "not a folder");

    // The folder disappears after the archive was opened.
    const QString doomed = world.makeDir("doomed");
    ASSERT_TRUE(writer.open(doomed + "/x.zip"));
    ASSERT_TRUE(writer.addFile(a));
    ASSERT_TRUE(writer.addFile(b));
    ASSERT_TRUE(QDir(doomed).removeRecursively());
    const ZipWriter::Results results = writer.flush();
    EXPECT_TRUE(results.stored.isEmpty());
    EXPECT_EQ(results.failed, QStringList({a, b}));
    EXPECT_FALSE(results.error.isEmpty());
    EXPECT_FALSE(results.aborted);
}

TEST_F(ZipWriterTest, AFolderWithoutWritePermissionStoresNothing) {
    // Root may write anywhere, so the writer runs as nobody in a child process then.
    const QString a = file("c/a.txt", "a");
    const QString locked = world.makeDir("locked");
    QFile::setPermissions(world.root(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(locked,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    auto run = [&]() {
        ZipWriter writer;
        if (!writer.open(locked + "/x.zip") || !writer.addFile(a))
            return false;
        const ZipWriter::Results results = writer.flush();
        return results.stored.isEmpty() && results.failed == QStringList({a}) &&
               platform::fileStamp(locked + "/x.zip").kind == platform::FileKind::Missing;
    };
    if (::geteuid() == 0) {
        EXPECT_EXIT(
            {
                const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
                std::_Exit(dropped && run() ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    } else {
        EXPECT_TRUE(run());
    }
}

TEST_F(ZipWriterTest, ThousandsOfSmallFilesAreWrittenInOneGo) {
    ZipWriter writer;
    ASSERT_TRUE(writer.open(archive));
    QStringList paths;
    for (int i = 0; i < 3000; ++i) {
        paths << file(QString("c/many/%1/f%2.txt").arg(i % 10).arg(i), QByteArray::number(i));
        ASSERT_TRUE(writer.addFile(paths.back()));
    }
    const ZipWriter::Results results = writer.flush();
    EXPECT_EQ(results.stored.size(), 3000);
    EXPECT_EQ(writer.archiveWrites(), 1);
    const auto stored = archivekit::contents(archive);
    EXPECT_EQ(stored.size(), 3000);
    EXPECT_EQ(stored.value("many/7/f2977.txt"), "2977");
}

TEST_F(ZipWriterTest, NamesThatAreNotUtf8KeepTheirBytes) {
    const QString name = platform::decodeName(QByteArray("caf\xe9-\xff.txt"));
    const QString path = world.path("c/") + name;
    {
        auto out = platform::createNewFile(path);
        ASSERT_TRUE(out);
        out->write("latin-1 name");
    }
    ZipWriter writer;
    ASSERT_TRUE(writer.open(archive));
    ASSERT_TRUE(writer.addFile(path));
    const ZipWriter::Results results = writer.flush();
    ASSERT_EQ(results.storedPaths(), QStringList({path})) << results.error.toStdString();

    ZipReader reader;
    ASSERT_TRUE(reader.open(archive));
    ASSERT_EQ(reader.entryCount(), 1);
    EXPECT_EQ(reader.entries()[0].path, name);
    const QString dest = world.makeDir("restore");
    EXPECT_EQ(reader.extract(dest).extracted, 1);
    EXPECT_EQ(platform::fileStamp(dest + "/" + name).size, 12);

    // QTemporaryDir cannot remove names that are not UTF-8.
    platform::removeFile(path);
    platform::removeFile(dest + "/" + name);
}

TEST_F(ZipWriterTest, ArchivesAreReadableByTheirOwnerAlone) {
    // A key readable by its owner alone, in a folder of the owner's alone: whatever the umask,
    // the archive holding it is no more readable than the key was.
    const QString key = file("c/home/ann/.ssh/id_key", "secret key\n");
    QFile::setPermissions(key, QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(world.path("c/home/ann/.ssh"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const mode_t old = ::umask(022);
    ZipWriter writer;
    ASSERT_TRUE(writer.open(archive));
    ASSERT_TRUE(writer.addFile(key));
    const ZipWriter::Results results = writer.flush();
    ::umask(old);
    ASSERT_EQ(results.storedPaths(), QStringList({key}));
    EXPECT_EQ(platform::fileStamp(archive).permissions, 0600u);
    EXPECT_EQ(archivekit::contents(archive).value("home/ann/.ssh/id_key"), "secret key\n");
}

TEST_F(ZipWriterTest, OnlyTheLitterOfWritersThatEndedIsRemoved) {
    // A writer killed in the middle leaves its claimed empty archive and the engine's temporary
    // file; a claim still held is a writer at work.
    bool taken = false;
    QString why;
    ASSERT_TRUE(platform::claimNewFile(zipFolder + "/Drive-C-Dead.zip", 0600, &taken, &why));
    const QString deadTemp = file("zips/Drive-C-Dead.zip.a1B2c3", "half an archive");
    const std::unique_ptr<QFile> held =
        platform::claimNewFile(zipFolder + "/Drive-D-Busy.zip", 0600, &taken, &why);
    ASSERT_TRUE(held);
    file("zips/Drive-D-Busy.zip.Zz9yY8", "being written");
    file("zips/Drive-C-Whole.zip", "an archive");              // not empty
    file("zips/Drive-C-Whole.zip.q1w2e3", "not ours to know"); // its name is nobody's claim
    file("zips/other.zip", "");                                // not one of the names
    file("zips/Drive-C-Dead.zip.toolong", "not a temporary name");
    EXPECT_FALSE(taken);

    EXPECT_EQ(sorted(ZipWriter::removeLeftovers(zipFolder, "Drive*.zip")),
              QStringList({zipFolder + "/Drive-C-Dead.zip", deadTemp}));
    EXPECT_EQ(
        sorted(QDir(zipFolder).entryList(QDir::Files)),
        QStringList({"Drive-C-Dead.zip.toolong", "Drive-C-Whole.zip", "Drive-C-Whole.zip.q1w2e3",
                     "Drive-D-Busy.zip", "Drive-D-Busy.zip.Zz9yY8", "other.zip"}));

    // A name whose claim was removed can be claimed again.
    EXPECT_TRUE(platform::claimNewFile(zipFolder + "/Drive-C-Dead.zip", 0600, &taken, &why));
}
