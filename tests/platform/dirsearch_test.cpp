#include "platform/dirsearch.h"
#include "support/entrybuilders.h"
#include "support/sandbox.h"

#include <QDateTime>
#include <QFile>
#include <QMap>
#include <QSet>
#include <cerrno>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// name -> attributes of every entry a search returns.
QMap<QString, quint32> search(DirSearch& s, const QString& pattern, quint32 mask) {
    QMap<QString, quint32> found;
    s.start(pattern, mask);
    DirEntry e;
    while (s.next(&e))
        found.insert(e.name, e.attributes);
    return found;
}

// A folder with one entry of every kind the attributes tell apart.
class KindsFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir = world.makeDir("c/kinds");
        world.makeFile("c/kinds/plain.txt", "hello");
        world.makeFile("c/kinds/locked.txt", "x");
        QFile::setPermissions(dir + "/locked.txt", QFile::ReadOwner | QFile::ReadGroup);
        world.makeFile("c/kinds/.hidden", "h");
        world.makeDir("c/kinds/sub");
        world.makeDir("c/kinds/.secret");
        ASSERT_TRUE(scantest::makeLink(dir + "/plain.txt", dir + "/filelink"));
        ASSERT_TRUE(scantest::makeLink(dir + "/sub", dir + "/dirlink"));
        ASSERT_TRUE(scantest::makeLink(dir + "/missing", dir + "/.dangling"));
        ASSERT_TRUE(scantest::makeFifo(dir + "/pipe"));
    }

    SandboxWorld world;
    QString dir;
};

} // namespace

TEST(AttributeMask, OnlyHiddenSystemVolumeAndFolderCanKeepAnEntryOut) {
    struct Case {
        quint32 attributes, mask;
        bool passes;
    };
    const Case cases[] = {
        {faArchive, 0x29, true},
        {faArchive | faReadOnly, 0x29, true},
        {faArchive | faReadOnly, 0x00, true}, // read-only and archive never exclude
        {faArchive | faHidden, 0x29, false},
        {faSysFile, 0x29, false},
        {faDirectory, 0x29, false},
        {faDirectory, 0x10, true},
        {faDirectory | faHidden, 0x10, false},
        {faDirectory | faSysFile, 0x10, false},
        {faArchive, 0x10, true}, // a folder search returns plain files as well
        {faArchive | faHidden, 0x2B, true},
        {faSysFile, 0x2B, false},
        {faSysFile | faHidden, 0x06, true},
        {faDirectory | faHidden | faSysFile, faAnyFile, true},
        {faVolumeId, 0x29, true},
        {faVolumeId, 0x21, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(attributesPassMask(c.attributes, c.mask), c.passes)
            << std::hex << c.attributes << " with mask " << c.mask;
}

TEST(Wildcards, WholeNameIgnoringCase) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"report.txt", "*.txt", true},
        {"REPORT.TXT", "*.txt", true},
        {"report.txt", "*.TXT", true},
        {"report.txt.bak", "*.txt", false}, // the whole name, not a part of it
        {"txt", "*.txt", false},
        {"noext", "*.*", true},
        {".profile", "*.*", true},
        {"anything", "*", true},
        {"a.b", "?.?", true},
        {"ab.b", "?.?", false},
        {"abcbcd", "a*bcd", true},
        {"abcbce", "a*bcd", false},
        {"x.tar.gz", "*.t*.?z", true},
        {"Readme", "readme", true},
        {"readme2", "readme", false},
        {"anything", "", false},
        {"ÄPFEL.ÖL", "äpfel.öl", true},
        {"straße.doc", "STRASSE.DOC", false}, // one character never matches two
        {"Ωmega.txt", "ω*", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(matchesWildcard(QString::fromUtf8(c.name), QString::fromUtf8(c.pattern)),
                  c.matches)
            << c.name << " ~ " << c.pattern;
}

TEST_F(KindsFolder, AttributesOfEveryKindOfEntry) {
    DirSearch s;
    ASSERT_TRUE(s.open(dir));
    const QMap<QString, quint32> all = search(s, "*.*", faAnyFile);
    const QMap<QString, quint32> expected = {
        {"plain.txt", faArchive},
        {"locked.txt", faArchive | faReadOnly},
        {".hidden", faArchive | faHidden},
        {"sub", faDirectory},
        {".secret", faDirectory | faHidden},
        {"filelink", faSysFile},
        {"dirlink", faSysFile}, // a link to a folder is no folder
        {".dangling", faSysFile | faHidden},
        {"pipe", faSysFile},
    };
    EXPECT_EQ(all, expected);
}

TEST_F(KindsFolder, MasksPatternsAndSearchingAgain) {
    DirSearch s;
    ASSERT_TRUE(s.open(dir));
    // Files of a tool's walk: read-only and archive files, nothing hidden, no system entries.
    EXPECT_EQ(search(s, "*.*", 0x29).keys(), QStringList({"locked.txt", "plain.txt"}));
    // The folder search: visible folders and (ignored by the walk) visible plain files.
    EXPECT_EQ(search(s, "*.*", faDirectory).keys(),
              QStringList({"locked.txt", "plain.txt", "sub"}));
    // Quick clean: hidden files too, but no system entries and no folders.
    EXPECT_EQ(search(s, "*.*", 0x2B).keys(), QStringList({".hidden", "locked.txt", "plain.txt"}));
    EXPECT_EQ(search(s, "*.TXT", 0x29).keys(), QStringList({"locked.txt", "plain.txt"}));
    EXPECT_EQ(search(s, "p*", faAnyFile).keys(), QStringList({"pipe", "plain.txt"}));
}

TEST_F(KindsFolder, OnlyRealFoldersOpenAsSubfolders) {
    DirSearch parent;
    ASSERT_TRUE(parent.open(dir));
    QStringList opened;
    QMap<QString, int> refused;
    DirEntry e;
    while (parent.next(&e)) {
        DirSearch child;
        if (child.openSubfolder(parent))
            opened << e.name;
        else
            refused.insert(e.name, child.error());
    }
    opened.sort();
    EXPECT_EQ(opened, QStringList({".secret", "sub"}));
    EXPECT_EQ(refused.value("dirlink"), ENOTDIR);
    EXPECT_EQ(refused.value("pipe"), ENOTDIR);

    // The fault hook stands in for refused and vanished folders.
    setOpenFault(dir, ENOENT);
    EXPECT_FALSE(parent.open(dir));
    EXPECT_EQ(parent.error(), ENOENT);
    clearOpenFaults();
    EXPECT_FALSE(parent.open(dir + "/plain.txt"));
    EXPECT_EQ(parent.error(), ENOTDIR);
}

TEST(DirSearchEntries, SizesAndTimes) {
    SandboxWorld world;
    const QString dir = world.makeDir("c/times");
    const QString path = world.makeFile("c/times/a.bin", QByteArray(1234, 'x'));
    const QDateTime written(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);
    const QDateTime read(QDate(2019, 12, 31), QTime(23, 59, 58), Qt::UTC);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(written, QFileDevice::FileModificationTime));
        ASSERT_TRUE(f.setFileTime(read, QFileDevice::FileAccessTime));
    }
    // A sparse file beyond 4 GiB: sizes are 64-bit.
    {
        QFile big(world.path("c/times/big.img"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(qint64(5) << 30));
    }
    const qint64 now = QDateTime::currentSecsSinceEpoch();

    QMap<QString, DirEntry> found;
    DirSearch s;
    ASSERT_TRUE(s.open(dir));
    DirEntry e;
    while (s.next(&e))
        found.insert(e.name, e);
    ASSERT_EQ(found.size(), 2);
    const DirEntry a = found.value("a.bin");
    EXPECT_EQ(a.size, 1234);
    EXPECT_EQ(a.writeTime, written.toSecsSinceEpoch());
    EXPECT_EQ(a.accessTime, read.toSecsSinceEpoch());
    // The birth time is there when the file system keeps one, and then it is recent.
    EXPECT_TRUE(a.creationTime == 0 || qAbs(a.creationTime - now) < 600) << a.creationTime;
    EXPECT_EQ(found.value("big.img").size, qint64(5) << 30);

    DirEntry one;
    ASSERT_TRUE(lookUpEntry(path, &one));
    EXPECT_EQ(one.name, "a.bin");
    EXPECT_EQ(one.writeTime, a.writeTime);
    ASSERT_TRUE(lookUpEntry(dir, &one));
    EXPECT_EQ(one.attributes, quint32(faDirectory));
    EXPECT_EQ(one.size, 0);
    EXPECT_FALSE(lookUpEntry(dir + "/none", &one));
}

TEST(DirSearchEntries, AFolderLargerThanOneReadIsSearchedWholeEveryTime) {
    SandboxWorld world;
    const QString dir = world.makeDir("c/many");
    // Long names, so that the listing takes several reads of the folder.
    QSet<QString> expected;
    const QString stem(120, QChar('n'));
    for (int i = 0; i < 1500; ++i) {
        const QString name = QStringLiteral("%1-%2.dat").arg(stem).arg(i);
        QFile f(dir + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        expected.insert(name);
    }
    DirSearch s;
    ASSERT_TRUE(s.open(dir));
    for (int round = 0; round < 3; ++round) {
        QSet<QString> seen;
        int count = 0;
        if (round == 1) {
            while (s.nextFolder()) // a folder pass that reads to the end, as the walk does
                ;
        }
        s.start("*.dat", 0x29);
        DirEntry e;
        while (s.next(&e)) {
            seen.insert(e.name);
            ++count;
        }
        EXPECT_EQ(count, 1500) << "round " << round;
        EXPECT_EQ(seen, expected) << "round " << round;
    }
}
