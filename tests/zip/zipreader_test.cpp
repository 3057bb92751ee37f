#include "app/crc32.h"
#include "archivekit.h"
#include "platform/filesync.h"
#include "support/sandbox.h"
#include "zip/zipformat.h"
#include "zip/zipreader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

using archivekit::RawEntry;
using zip::ExtractFailure;
using zip::ZipReader;

namespace {

class ZipReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        archive = world.path("test.zip");
        reader.setFailure([this](const ExtractFailure& f) { failures.push_back(f); });
    }

    void write(const std::vector<RawEntry>& entries) {
        ASSERT_TRUE(archivekit::writeRaw(archive, entries));
        ASSERT_TRUE(reader.open(archive));
    }

    // Every file and folder below a folder, relative to it.
    static QStringList everything(const QString& folder) {
        QStringList out;
        QDirIterator it(folder,
                        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            out << QDir(folder).relativeFilePath(it.next());
        out.sort();
        return out;
    }

    QStringList failedEntries() const {
        QStringList out;
        for (const ExtractFailure& f : failures)
            out << f.entry;
        return out;
    }

    SandboxWorld world;
    QString archive;
    ZipReader reader;
    std::vector<ExtractFailure> failures;
};

} // namespace

TEST(ZipFormat, Crc32AndTimestampField) {
    EXPECT_EQ(crc32::checksum(0, "123456789", 9), 0xCBF43926u);
    // Fed in pieces it gives the same.
    EXPECT_EQ(crc32::checksum(crc32::checksum(0, "1234", 4), "56789", 5), 0xCBF43926u);
    for (qint64 t : {qint64(0), qint64(1700000003), qint64(-86400), qint64(INT32_MAX)}) {
        const QByteArray field = zip::format::timestampField(t);
        EXPECT_EQ(zip::format::readTimestampField(
                      reinterpret_cast<const lz::zip_uint8_t*>(field.constData()),
                      lz::zip_uint16_t(field.size())),
                  t);
    }
    EXPECT_TRUE(zip::format::timestampField(qint64(INT32_MAX) + 1).isEmpty());
}

TEST_F(ZipReaderTest, OpeningTellsArchivesFromOtherFiles) {
    const QString text = world.makeFile("notes.zip", "just some text, not an archive");
    EXPECT_FALSE(zip::isZipArchive(text));
    EXPECT_FALSE(zip::isZipArchive(world.path("missing.zip")));

    int loads = 0;
    reader.setLoaded([&] { ++loads; });
    ASSERT_TRUE(archivekit::writeRaw(archive, {{"a.txt", "a", {}, {}}}));
    EXPECT_TRUE(zip::isZipArchive(archive));
    ASSERT_TRUE(reader.open(archive));
    EXPECT_EQ(loads, 1);

    // A file that is no archive leaves the open archive as it was.
    EXPECT_FALSE(reader.open(text));
    EXPECT_FALSE(reader.lastError().isEmpty());
    EXPECT_EQ(loads, 1);
    EXPECT_TRUE(reader.isOpen());
    EXPECT_EQ(reader.archivePath(), archive);
    EXPECT_EQ(reader.entryCount(), 1);

    reader.close();
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(reader.entryCount(), 0);
    EXPECT_TRUE(reader.tree().children.empty());
}

TEST_F(ZipReaderTest, EntriesFormATree) {
    write({{"a/b/c.txt", "c", {}, {}},
           {"a/d/", {}, {}, {}},
           {"e.txt", "eee", {}, {}},
           {"a/b/f.txt", "f", {}, {}}});
    EXPECT_EQ(reader.entryCount(), 4);
    EXPECT_EQ(reader.fileCount(), 3);

    const zip::ZipNode& root = reader.tree();
    ASSERT_EQ(root.children.size(), 2u);
    const zip::ZipNode& a = *root.children[0];
    const zip::ZipNode& e = *root.children[1];
    EXPECT_EQ(a.name, "a");
    EXPECT_TRUE(a.folder);
    EXPECT_EQ(a.entry, -1); // only implied by the files below it
    EXPECT_EQ(e.name, "e.txt");
    EXPECT_FALSE(e.folder);
    EXPECT_EQ(e.row, 1);
    EXPECT_EQ(e.parent, &root);
    EXPECT_EQ(reader.entries()[e.entry].size, 3);

    ASSERT_EQ(a.children.size(), 2u);
    const zip::ZipNode& b = *a.children[0];
    const zip::ZipNode& d = *a.children[1];
    EXPECT_EQ(b.path, "a/b");
    EXPECT_EQ(d.path, "a/d");
    EXPECT_TRUE(d.folder);
    ASSERT_GE(d.entry, 0);
    EXPECT_TRUE(reader.entries()[d.entry].folder);
    ASSERT_EQ(b.children.size(), 2u);
    EXPECT_EQ(b.children[0]->name, "c.txt");
    EXPECT_EQ(b.children[1]->name, "f.txt");
    EXPECT_EQ(b.children[1]->parent, &b);
    EXPECT_EQ(reader.entries()[b.children[1]->entry].path, "a/b/f.txt");
}

TEST_F(ZipReaderTest, EntriesLeadingOutsideTheDestinationAreRefused) {
    // The absolute name points into the sandbox, so a fault could be seen and harms nothing.
    const QString absolute = world.path("abs-evil");
    write({{"../evil", "x", {}, {}},
           {absolute.toUtf8(), "x", {}, {}},
           {"sub/../../evil2", "x", {}, {}},
           {"link", world.path("target").toUtf8(), 0120777, {}},
           {"fifo", {}, 0010644, {}},
           {"good.txt", "good", 0100600, {}}});
    const QString dest = world.makeDir("x/dest");
    const ZipReader::ExtractResult result = reader.extract(dest);

    EXPECT_EQ(result.extracted, 1);
    EXPECT_EQ(result.failed, 5);
    EXPECT_EQ(everything(world.path("x")), QStringList({"dest", "dest/good.txt"}));
    EXPECT_FALSE(QFile::exists(absolute));
    EXPECT_FALSE(QFile::exists(world.path("evil")));
    EXPECT_FALSE(QFile::exists(world.path("x/evil2")));
    EXPECT_EQ(platform::fileStamp(dest + "/good.txt").permissions, 0600u);

    ASSERT_EQ(failures.size(), 5u);
    EXPECT_EQ(failedEntries(),
              QStringList({"../evil", absolute, "sub/../../evil2", "link", "fifo"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(failures[i].kind, ExtractFailure::Kind::Unsafe);
    EXPECT_EQ(failures[3].kind, ExtractFailure::Kind::Link);
    EXPECT_EQ(failures[4].kind, ExtractFailure::Kind::Link);
    for (const ExtractFailure& f : failures) {
        EXPECT_EQ(f.operation, ExtractFailure::Operation::Check);
        EXPECT_EQ(f.zipError, 0);
        EXPECT_FALSE(f.message.isEmpty());
    }
}

TEST_F(ZipReaderTest, PasswordIsAskedForEncryptedEntries) {
    write({{"one.txt", "secret one", {}, "sesame"},
           {"plain.txt", "plain", {}, {}},
           {"two.txt", "secret two", {}, "sesame"}});
    EXPECT_TRUE(reader.entries()[0].encrypted);
    EXPECT_FALSE(reader.entries()[1].encrypted);

    // The right password: asked once, then reused for the next entry.
    QStringList asked;
    std::optional<QString> answer = QString("sesame");
    reader.setPasswordRequest([&](const QString& entry) {
        asked << entry;
        return answer;
    });
    const QString good = world.makeDir("good");
    EXPECT_EQ(reader.extract(good).extracted, 3);
    EXPECT_EQ(asked, QStringList({"one.txt"}));
    EXPECT_EQ(SandboxWorld::readBytes(good + "/two.txt"), "secret two");
    EXPECT_TRUE(failures.empty());

    // No password: both encrypted entries fail, the plain one is extracted between them.
    ASSERT_TRUE(reader.open(archive)); // forgets the password
    asked.clear();
    answer.reset();
    const QString none = world.makeDir("none");
    const ZipReader::ExtractResult result = reader.extract(none);
    EXPECT_EQ(result.extracted, 1);
    EXPECT_EQ(asked, QStringList({"one.txt", "two.txt"}));
    EXPECT_EQ(everything(none), QStringList({"plain.txt"}));
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].kind, ExtractFailure::Kind::Password);
    EXPECT_EQ(failures[0].zipError, ZIP_ER_NOPASSWD);

    // A wrong password is the engine's error with its own text.
    failures.clear();
    answer = QString("wrong");
    const QString wrong = world.makeDir("wrong");
    EXPECT_EQ(reader.extract(wrong).extracted, 1);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].kind, ExtractFailure::Kind::Password);
    EXPECT_EQ(failures[0].zipError, ZIP_ER_WRONGPASSWD);
    EXPECT_EQ(failures[0].message, zip::format::errorText(ZIP_ER_WRONGPASSWD));
    EXPECT_EQ(everything(wrong), QStringList({"plain.txt"}));
}

TEST_F(ZipReaderTest, MethodsTheEngineCannotUnpackFailAlone) {
    // Three entries; the first gets a compression method nobody knows, the last the flags of
    // strong encryption, in both of their headers.
    write(
        {{"odd.txt", "odd", {}, {}}, {"plain.txt", "plain", {}, {}}, {"strong.txt", "x", {}, {}}});
    QFile file(archive);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    // Local headers ("PK\3\4") hold the flags at 6, the method at 8 and the name at 30; central
    // headers ("PK\1\2") hold them two bytes later (after "version made by"), the name at 46.
    const auto patch = [&bytes](const QByteArray& name, quint16 flags, quint16 method) {
        for (const bool central : {false, true}) {
            const QByteArray signature = central ? QByteArray("PK\1\2") : QByteArray("PK\3\4");
            const int shift = central ? 2 : 0;
            const int nameAt = central ? 46 : 30;
            for (qsizetype h = bytes.indexOf(signature); h >= 0;
                 h = bytes.indexOf(signature, h + 1)) {
                if (bytes.mid(h + nameAt, name.size()) != name)
                    continue;
                if (flags != 0)
                    qToLittleEndian<quint16>(flags, bytes.data() + h + 6 + shift);
                if (method != 0)
                    qToLittleEndian<quint16>(method, bytes.data() + h + 8 + shift);
            }
        }
    };
    patch("odd.txt", 0, 0x7777);
    patch("strong.txt", 0x0041, 0);
    ASSERT_TRUE(file.seek(0));
    ASSERT_EQ(file.write(bytes), bytes.size());
    file.close();
    ASSERT_TRUE(reader.open(archive));
    ASSERT_TRUE(reader.entries()[2].encrypted);

    int asked = 0;
    reader.setPasswordRequest([&](const QString&) {
        ++asked;
        return std::optional<QString>("any");
    });
    const QString dest = world.makeDir("dest");
    const ZipReader::ExtractResult result = reader.extract(dest);
    EXPECT_EQ(result.extracted, 1);
    EXPECT_EQ(everything(dest), QStringList({"plain.txt"}));
    EXPECT_EQ(asked, 0); // no password is asked for what cannot be decrypted anyway
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].entry, "odd.txt");
    EXPECT_EQ(failures[0].kind, ExtractFailure::Kind::Engine);
    EXPECT_EQ(failures[0].zipError, ZIP_ER_COMPNOTSUPP);
    EXPECT_EQ(failures[0].message, zip::format::errorText(ZIP_ER_COMPNOTSUPP));
    EXPECT_EQ(failures[1].entry, "strong.txt");
    EXPECT_EQ(failures[1].zipError, ZIP_ER_ENCRNOTSUPP);
}

TEST_F(ZipReaderTest, WhatStandsInTheWayFailsAloneAndNothingIsReplaced) {
    write({{"a.txt", "new a", {}, {}},
           {"b.txt", "new b", {}, {}},
           {"c.txt", "new c", {}, {}},
           {"d/e.txt", "new e", {}, {}},
           {"f.txt", "new f", {}, {}}});
    const QString dest = world.makeDir("dest");
    world.makeFile("dest/a.txt", "old a");
    world.makeDir("dest/b.txt"); // a folder has the name
    const QString target = world.makeFile("outside.txt", "untouched");
    QFile::link(target, dest + "/c.txt");                      // a link has the name
    world.makeFile("dest/d", "a file where a folder belongs"); // in the way of a folder

    const ZipReader::ExtractResult result = reader.extract(dest);
    EXPECT_EQ(result.extracted, 1);
    EXPECT_EQ(failedEntries(), QStringList({"a.txt", "b.txt", "c.txt", "d/e.txt"}));
    for (const ExtractFailure& f : failures)
        EXPECT_EQ(f.kind, ExtractFailure::Kind::InTheWay);
    EXPECT_EQ(SandboxWorld::readBytes(dest + "/a.txt"), "old a");
    EXPECT_EQ(SandboxWorld::readBytes(dest + "/f.txt"), "new f");
    EXPECT_EQ(SandboxWorld::readBytes(target), "untouched");
    EXPECT_EQ(platform::fileStamp(dest + "/c.txt").kind, platform::FileKind::Link);
    // No temporary file stays behind.
    EXPECT_EQ(everything(dest), QStringList({"a.txt", "b.txt", "c.txt", "d", "f.txt"}));
}

TEST_F(ZipReaderTest, AFileThatCannotBeFinishedFailsAndLeavesNothingBehind) {
    using platform::FileStep;
    write({{"a.txt", "new a", {}, {}}, {"b.txt", "new b", {}, {}}});
    const QString eio = QString::fromLocal8Bit(std::strerror(EIO));
    int round = 0;
    for (FileStep step :
         {FileStep::SyncFile, FileStep::CloseFile, FileStep::SetTimes, FileStep::Replace}) {
        SCOPED_TRACE(round);
        failures.clear();
        const QString dest = world.makeDir(QString("dest%1").arg(round++));
        platform::setFileFault(step, EIO);
        const ZipReader::ExtractResult result = reader.extract(dest);
        platform::clearFileFaults();
        EXPECT_EQ(result.extracted, 0);
        EXPECT_EQ(result.failed, 2);
        EXPECT_EQ(failedEntries(), QStringList({"a.txt", "b.txt"}));
        for (const ExtractFailure& f : failures) {
            EXPECT_EQ(f.operation, ExtractFailure::Operation::Write);
            EXPECT_EQ(f.kind, ExtractFailure::Kind::FileSystem);
            EXPECT_TRUE(f.message.contains(eio)) << f.message.toStdString();
        }
        // No temporary file stays behind.
        EXPECT_TRUE(everything(dest).isEmpty());
    }
}

TEST_F(ZipReaderTest, FailuresAroundTheRenameAreReported) {
    using platform::FileStep;
    write({{"a.txt", "new a", {}, {}}});
    // The folder cannot be flushed after the rename: the file is there but may not survive a
    // crash, so the entry is reported.
    const QString flushed = world.makeDir("flushed");
    platform::setFileFault(FileStep::SyncFolder, EIO);
    ZipReader::ExtractResult result = reader.extract(flushed);
    platform::clearFileFaults();
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(result.extracted, 0);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_TRUE(failures[0].message.contains(flushed)) << failures[0].message.toStdString();
    EXPECT_EQ(SandboxWorld::readBytes(flushed + "/a.txt"), "new a");

    // The rename fails and the temporary file cannot be removed either: both are told.
    failures.clear();
    const QString stuck = world.makeDir("stuck");
    QString temporary;
    platform::setFileFault(FileStep::Replace, [&](const QString& from) {
        temporary = from;
        QFile::remove(from);
        QDir().mkdir(from); // a folder is never removed as a file
        return EIO;
    });
    result = reader.extract(stuck);
    platform::clearFileFaults();
    EXPECT_EQ(result.failed, 1);
    ASSERT_EQ(failures.size(), 1u);
    ASSERT_FALSE(temporary.isEmpty());
    EXPECT_TRUE(failures[0].message.contains(temporary)) << failures[0].message.toStdString();
    EXPECT_FALSE(QFile::exists(stuck + "/a.txt"));
}

TEST_F(ZipReaderTest, BaseFolderPatternAndFlatExtraction) {
    write({{"home/ann/a.txt", "a", {}, {}},
           {"home/ann/docs/b.TXT", "b", {}, {}},
           {"home/ann/docs/c.doc", "c", {}, {}},
           {"home/ann/empty/", {}, {}, {}},
           {"home/bob/d.txt", "d", {}, {}},
           {"home/annex.txt", "x", {}, {}}});
    reader.setBaseFolder("home/ann/");
    const QString relative = world.makeDir("relative");
    EXPECT_EQ(reader.extract(relative, "*.txt").extracted, 2);
    EXPECT_EQ(everything(relative), QStringList({"a.txt", "docs", "docs/b.TXT"}));

    const QString all = world.makeDir("all");
    EXPECT_EQ(reader.extract(all).extracted, 4); // three files and the empty folder
    EXPECT_EQ(everything(all), QStringList({"a.txt", "docs", "docs/b.TXT", "docs/c.doc", "empty"}));

    reader.setRestorePaths(false);
    const QString flat = world.makeDir("flat");
    EXPECT_EQ(reader.extract(flat, "?.*").extracted, 3);
    EXPECT_EQ(everything(flat), QStringList({"a.txt", "b.TXT", "c.doc"}));

    reader.setRestorePaths(true);
    reader.setCreateFolders(false);
    const QString noFolders = world.makeDir("nofolders");
    EXPECT_EQ(reader.extract(noFolders, "*.doc").extracted, 0);
    EXPECT_EQ(failedEntries(), QStringList({"home/ann/docs/c.doc"}));
    EXPECT_TRUE(everything(noFolders).isEmpty());
    EXPECT_EQ(failures[0].kind, ExtractFailure::Kind::FileSystem);
}

TEST_F(ZipReaderTest, MissingDestinationFailsEveryEntryAndProgressEndsAtHundred) {
    write({{"a.txt", archivekit::randomBytes(100000, 3), {}, {}},
           {"b.txt", archivekit::randomBytes(300000, 4), {}, {}}});
    QList<int> seen;
    reader.setProgress([&](int percent) { seen << percent; });

    const ZipReader::ExtractResult missing = reader.extract(world.path("no/such/folder"));
    EXPECT_EQ(missing.extracted, 0);
    EXPECT_EQ(missing.failed, 2);
    EXPECT_FALSE(QFile::exists(world.path("no")));
    EXPECT_EQ(failures.size(), 2u);

    seen.clear();
    const QString dest = world.makeDir("dest");
    EXPECT_EQ(reader.extract(dest).extracted, 2);
    ASSERT_GE(seen.size(), 3);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

TEST_F(ZipReaderTest, SizesClaimedByTheArchiveNeverUpsetTheProgress) {
    // Entries that claim 2^62 bytes and more, and hold three: the sums of their sizes, and a
    // hundred times them, are far outside 64 bits; the largest claim does not even fit a signed
    // 64-bit size.
    for (const quint64 claimed : {quint64(1) << 62, ~quint64(0) - 1}) {
        SCOPED_TRACE(claimed);
        QFile file(archive);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(archivekit::zip64Claims({"a.txt", "b.txt", "c.txt"}, "abc", claimed));
        file.close();
        ASSERT_TRUE(reader.open(archive));
        ASSERT_EQ(reader.entryCount(), 3);
        EXPECT_EQ(reader.entries().first().size,
                  qint64(std::min<quint64>(claimed, std::numeric_limits<qint64>::max())));

        QList<int> seen;
        reader.setProgress([&](int percent) { seen << percent; });
        failures.clear();
        const QString dest = world.makeDir(QStringLiteral("dest%1").arg(claimed));
        const ZipReader::ExtractResult result = reader.extract(dest);
        // The data does not match the size claimed: every entry fails, nothing is left.
        EXPECT_EQ(result.extracted, 0);
        EXPECT_EQ(result.failed, 3);
        EXPECT_TRUE(everything(dest).isEmpty()) << everything(dest).join(' ').toStdString();
        ASSERT_FALSE(seen.isEmpty());
        EXPECT_EQ(seen.front(), 0);
        EXPECT_EQ(seen.back(), 100);
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_GE(*std::min_element(seen.begin(), seen.end()), 0);
    }
}

TEST_F(ZipReaderTest, EntriesNamedLikeTheTemporaryFilesAreRestored) {
    // The extraction writes each file under a temporary name first; entries that happen to have
    // such names still come back under their own names, and nothing else stays behind.
    std::vector<RawEntry> entries;
    QStringList names;
    for (int n = 0; n < 4; ++n) {
        const QByteArray name = ".vastel-extract-" + QByteArray::number(n);
        entries.push_back({name, "data " + name, {}, {}});
        names << QString::fromLatin1(name);
    }
    entries.push_back({"plain.txt", "plain", {}, {}});
    names << "plain.txt";
    write(entries);
    const QString dest = world.makeDir("dest");

    const ZipReader::ExtractResult result = reader.extract(dest);
    EXPECT_EQ(failedEntries(), QStringList());
    EXPECT_EQ(result.extracted, 5);
    names.sort();
    EXPECT_EQ(everything(dest), names);
    EXPECT_EQ(SandboxWorld::readBytes(dest + "/.vastel-extract-0"), "data .vastel-extract-0");
}
