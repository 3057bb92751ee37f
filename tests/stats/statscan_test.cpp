// The statistics collection against a plain model on a random tree, and its edge cases.
#include "app/filetime.h"
#include "platform/dirsearch.h"
#include "stats/statscan.h"
#include "support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QDate kToday(2024, 6, 15);

// Sets the last access and last write of a path (not following a link) to an epoch time.
bool setTimes(const QString& path, qint64 access, qint64 write) {
    const timespec times[2] = {{time_t(access), 0}, {time_t(write), 0}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) ==
           0;
}

// Noon, local time, `days` days before kToday.
qint64 daysAgo(int days) {
    return QDateTime(kToday.addDays(-days), QTime(12, 0)).toSecsSinceEpoch();
}

bool makeSized(const QString& path, qint64 size) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.resize(size);
}

// ---- the plain model -------------------------------------------------------------------------

// Every file below root the way a user would count them: hidden files and links included,
// hidden folders not entered, each file (device and inode) once.
struct Model {
    std::array<qint64, 12> sizeCount{}, sizeBytes{};
    std::array<std::array<qint64, 10>, 3> ageCount{}, ageBytes{};
    std::array<qint64, 24> createdHour{}, modifiedHour{};
    std::array<qint64, 4> attrCount{}, attrBytes{}; // hidden, read-only, system, archive
    std::array<qint64, 5> waste{};
    QMap<QString, QPair<qint64, qint64>> types;
    qint64 counted = 0;
    QSet<QPair<quint64, quint64>> seen;

    static int sizeClass(qint64 size) {
        const qint64 bounds[] = {16384,   32768,   65536,   131072,  262144,  524288,
                                 1048576, 2097152, 4194304, 8388608, 16777216};
        for (int i = 0; i < 11; ++i)
            if (size <= bounds[i])
                return i;
        return 11;
    }
    static int ageClass(qint64 epoch) {
        if (epoch == 0)
            return 0;
        const QDateTime local = QDateTime::fromSecsSinceEpoch(epoch);
        if (local.date().year() < 1980)
            return 0;
        const qint64 days = std::abs(local.date().daysTo(kToday));
        const int limits[] = {7, 30, 60, 120, 365, 730, 1095, 1460};
        for (int i = 0; i < 8; ++i)
            if (days <= limits[i])
                return i + 1;
        return 9;
    }
    static int hour(qint64 epoch) {
        if (epoch == 0 || QDateTime::fromSecsSinceEpoch(epoch).date().year() < 1980)
            return -1;
        return QDateTime::fromSecsSinceEpoch(epoch).time().hour();
    }

    void add(const QString& path) {
        platform::DirEntry e;
        ASSERT_TRUE(platform::lookUpEntry(path, &e)) << path.toStdString();
        if (seen.contains({e.device, e.inode}))
            return;
        seen.insert({e.device, e.inode});
        ++counted;
        const QString name = QFileInfo(path).fileName();
        const bool bits[4] = {name.startsWith('.'), (e.attributes & platform::faReadOnly) != 0,
                              (e.attributes & platform::faSysFile) != 0,
                              (e.attributes & platform::faArchive) != 0};
        for (int i = 0; i < 4; ++i)
            if (bits[i]) {
                ++attrCount[size_t(i)];
                attrBytes[size_t(i)] += e.size;
            }
        const qint64 times[3] = {e.accessTime, e.creationTime, e.writeTime};
        for (int k = 0; k < 3; ++k) {
            ++ageCount[size_t(k)][size_t(ageClass(times[k]))];
            ageBytes[size_t(k)][size_t(ageClass(times[k]))] += e.size;
        }
        if (hour(e.creationTime) >= 0)
            ++createdHour[size_t(hour(e.creationTime))];
        if (hour(e.writeTime) >= 0)
            ++modifiedHour[size_t(hour(e.writeTime))];
        ++sizeCount[size_t(sizeClass(e.size))];
        sizeBytes[size_t(sizeClass(e.size))] += e.size;
        for (int k = 0; k < 5; ++k) {
            const qint64 cluster = 4096LL << k;
            waste[size_t(k)] += (cluster - e.size % cluster) % cluster;
        }
        const int dot = name.lastIndexOf('.');
        const QString ext = dot < 0 ? QString() : name.mid(dot).toUpper();
        if (ext.size() < 6) {
            types[ext].first += 1;
            types[ext].second += e.size;
        }
    }

    void walk(const QString& folder) {
        const QFileInfoList entries = QDir(folder).entryInfoList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo& fi : entries) {
            if (fi.isDir() && !fi.isSymLink()) {
                if (!fi.fileName().startsWith('.'))
                    walk(fi.filePath());
            } else {
                add(fi.filePath());
            }
        }
    }
};

// A random tree: sizes at and around every class bound, sparse files above 4 GiB, hidden
// files and folders, read-only files, links, hard links and fixed times.
void makeRandomTree(const QString& root, quint32 seed) {
    QRandomGenerator rng(seed);
    const char* const exts[] = {".txt", ".doc", ".c", "", ".jpeg", ".abcde", ".TXT", ".x.y"};
    QStringList files;
    for (int d = 0; d < 6; ++d) {
        const QString folder = root + (d == 5 ? QStringLiteral("/.hidden")
                                              : QStringLiteral("/f%1/g%2").arg(d).arg(d % 2));
        ASSERT_TRUE(QDir().mkpath(folder));
        for (int i = 0; i < 25; ++i) {
            qint64 size;
            switch (rng.bounded(4)) {
            case 0:
                size = (16384LL << rng.bounded(11)) + rng.bounded(3) - 1; // a bound and beside it
                break;
            case 1:
                size = rng.bounded(5000);
                break;
            case 2:
                size = 4096 * rng.bounded(1, 5) + rng.bounded(3) - 1;
                break;
            default:
                size = rng.bounded(1, 40) * 1000003LL;
            }
            if (i == 7 && d == 1)
                size = 5LL << 30; // 5 GiB, sparse
            const QString name =
                (i % 9 == 4 ? QStringLiteral(".h%1") : QStringLiteral("n%1")).arg(i) +
                QLatin1String(exts[rng.bounded(8)]);
            const QString path = folder + "/" + name;
            ASSERT_TRUE(makeSized(path, std::max<qint64>(0, size)));
            if (i % 6 == 5) {
                ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
            }
            ASSERT_TRUE(setTimes(path, daysAgo(int(rng.bounded(2500))) + rng.bounded(86400),
                                 daysAgo(int(rng.bounded(2500))) - rng.bounded(86400)));
            files << path;
        }
    }
    // Hard links (one file, three names; the second name in another folder), a link to a
    // folder and one to a file: links count as system files.
    ASSERT_EQ(::link(QFile::encodeName(files[3]).constData(),
                     QFile::encodeName(root + "/f0/hard.txt").constData()),
              0);
    ASSERT_EQ(::link(QFile::encodeName(files[3]).constData(),
                     QFile::encodeName(root + "/f4/g0/hard2.txt").constData()),
              0);
    ASSERT_TRUE(QFile::link(root + "/f1", root + "/f2/tofolder"));
    ASSERT_TRUE(QFile::link(files[10], root + "/f3/.tofile"));
    ASSERT_TRUE(setTimes(root + "/f3/.tofile", daysAgo(3), daysAgo(3)));
}

} // namespace

TEST(StatsCollect, AgreesWithAPlainModelOnRandomTrees) {
    for (quint32 seed : {1u, 2u, 3u}) {
        SandboxWorld world;
        const QString root = world.makeDir("tree");
        makeRandomTree(root, seed);
        Model model;
        model.walk(root);

        stats::Collector collector(stats::TypeFilter(), kToday);
        collector.setOverhang(true);
        collector.collectTree(root);
        const stats::StatTotals& t = collector.totals();

        EXPECT_EQ(t.filesCounted, model.counted) << seed;
        EXPECT_EQ(t.filesProcessed, model.counted + 2) << "two extra names of one file";
        for (int c = 0; c < 12; ++c) {
            EXPECT_EQ(t.sizeClassCount[size_t(c)], model.sizeCount[size_t(c)]) << c;
            EXPECT_EQ(t.sizeClassBytes[size_t(c)], model.sizeBytes[size_t(c)]) << c;
        }
        EXPECT_EQ(t.ageCount, model.ageCount);
        EXPECT_EQ(t.ageBytes, model.ageBytes);
        EXPECT_EQ(t.createdHourCount, model.createdHour);
        EXPECT_EQ(t.modifiedHourCount, model.modifiedHour);
        EXPECT_EQ(t.attrCount, model.attrCount);
        EXPECT_EQ(t.attrBytes, model.attrBytes);
        EXPECT_EQ(t.clusterWaste, model.waste);
        QMap<QString, QPair<qint64, qint64>> types;
        for (const stats::TypeRow& r : t.types.rows())
            types[r.extension] = {r.files, r.bytes};
        EXPECT_EQ(types, model.types);
        // The 5 GiB file is summed whole, in the last class.
        EXPECT_GE(t.sizeClassBytes[11], 5LL << 30);
    }
}

TEST(StatsCollect, ClassBoundsAgesAndWaste) {
    EXPECT_EQ(stats::sizeClassOf(0), 1);
    EXPECT_EQ(stats::sizeClassOf(16384), 1);
    EXPECT_EQ(stats::sizeClassOf(16385), 2);
    EXPECT_EQ(stats::sizeClassOf(16777216), 11);
    EXPECT_EQ(stats::sizeClassOf(16777217), 12);
    EXPECT_EQ(stats::sizeClassOf(5LL << 40), 12);

    SandboxWorld world;
    const QString root = world.makeDir("ages");
    const int ages[] = {0, 7, 8, 1460, 1461};
    for (int days : ages) {
        const QString path = root + QStringLiteral("/d%1.txt").arg(days);
        ASSERT_TRUE(makeSized(path, days == 7 ? 4096 : 4097));
        ASSERT_TRUE(setTimes(path, daysAgo(days), daysAgo(days)));
    }
    stats::Collector collector(stats::TypeFilter(), kToday);
    collector.setOverhang(true);
    collector.collectTree(root);
    const auto& modified = collector.totals().ageCount[stats::tkModified];
    const auto& access = collector.totals().ageCount[stats::tkAccess];
    EXPECT_EQ(modified[1], 2) << "0 and 7 days";
    EXPECT_EQ(modified[2], 1) << "8 days";
    EXPECT_EQ(modified[8], 1) << "1460 days";
    EXPECT_EQ(modified[9], 1) << "1461 days";
    EXPECT_EQ(access, modified);
    // 4096 bytes: 0 at 4K and 4096 at 8K; each 4097 bytes: 4095 at 4K and 4095 at 8K.
    EXPECT_EQ(collector.totals().clusterWaste[0], 4 * 4095);
    EXPECT_EQ(collector.totals().clusterWaste[1], 4096 + 4 * 4095);

    // Without the overhang (two drives) nothing is added.
    stats::Collector two(stats::TypeFilter(), kToday);
    two.collectTree(root);
    EXPECT_EQ(two.totals().clusterWaste, (std::array<qint64, 5>{}));
    EXPECT_EQ(two.totals().filesCounted, 5);
}

TEST(StatsCollect, OneFileCountsWhereItBelongs) {
    stats::StatTotals t;
    const stats::FileFilter all;
    const quint32 noon = filetime::packDos(QDateTime(kToday.addDays(-10), QTime(13, 30)));
    // No birth time: creation age class 0 and no creation hour; a zero access time likewise.
    stats::crunchNumbers(t, all, u"plain.abcde", platform::faArchive, 100, {0, 0, noon}, kToday,
                         false);
    EXPECT_EQ(t.ageCount[stats::tkCreated][0], 1);
    EXPECT_EQ(t.ageCount[stats::tkAccess][0], 1);
    EXPECT_EQ(t.ageCount[stats::tkModified][2], 1);
    EXPECT_EQ(t.createdHourCount, (std::array<qint64, 24>{}));
    EXPECT_EQ(t.modifiedHourCount[13], 1);
    // Five letters after the dot: everywhere but the type table.
    EXPECT_EQ(t.types.size(), 0);
    EXPECT_EQ(t.sizeClassCount[0], 1);
    // A hidden system file counts under both.
    stats::crunchNumbers(t, all, u".link", platform::faHidden | platform::faSysFile, 7,
                         {noon, noon, noon}, kToday, false);
    EXPECT_EQ(t.attrCount[stats::atHidden], 1);
    EXPECT_EQ(t.attrCount[stats::atSystem], 1);
    EXPECT_EQ(t.attrBytes[stats::atSystem], 7);
    EXPECT_EQ(t.attrCount[stats::atArchive], 1);
    // Malformed and future dates.
    EXPECT_EQ(stats::fileDateHour(0), -1);
    EXPECT_EQ(stats::fileDateHour(0x00210000u | (25u << 11)), 0);
    EXPECT_EQ(
        stats::fileDateAgeDays(filetime::packDos(QDateTime(kToday.addDays(3), QTime())), kToday),
        3);
    EXPECT_EQ(stats::ageToIndex(-5), 0);
}

TEST(StatsCollect, TypeFilterAndTable) {
    stats::TypeFilter only;
    only.allFiles = false;
    only.whenListed = true;
    only.whenNotListed = false;
    only.entries = {"*.doc\tWord", "*.TXT\tText", "*.\tNo extension"};
    EXPECT_EQ(stats::extractExtension(only.entries[0]), ".doc");
    const stats::FileFilter f(only);
    EXPECT_TRUE(f.isThisSelected(u"a.DOC"));
    EXPECT_TRUE(f.isThisSelected(u"b.txt"));
    EXPECT_FALSE(f.isThisSelected(u"noext"));
    EXPECT_FALSE(f.isThisSelected(u"c.docx"));
    stats::TypeFilter except = only;
    except.whenListed = false;
    except.whenNotListed = true;
    EXPECT_FALSE(stats::FileFilter(except).isThisSelected(u"a.doc"));
    EXPECT_TRUE(stats::FileFilter(except).isThisSelected(u"noext"));

    // The table stays sorted whatever the order of insertion; presets add empty rows only.
    stats::TypeTable table;
    const char16_t* names[] = {u".zip", u".Doc", u"", u".c", u".DOC", u".a"};
    for (const char16_t* n : names)
        table.insertType(QStringView(n), 10, false);
    table.insertType(u".txt", 0, true);
    table.insertType(u".c", 0, true);
    EXPECT_EQ(table.lines(), (QStringList{"\t1\t10", ".A\t1\t10", ".C\t1\t10", ".DOC\t2\t20",
                                          ".TXT\t0\t0", ".ZIP\t1\t10"}));
    EXPECT_EQ(table.findTypeRow(u".doc"), 3);
    EXPECT_EQ(table.findTypeRow(u".xyz"), -1);
}
