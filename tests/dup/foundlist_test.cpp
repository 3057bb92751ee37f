#include "app/format.h"
#include "dup/foundlist.h"
#include "support/sandbox.h"

#include <QHash>
#include <QPair>
#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>
#include <random>

namespace {

using namespace dups;

// The fields of a found file as its line shows them.
enum ModelField { N, S, D, T, A, F, Y };

struct ModelFile {
    QString folder;
    platform::DirEntry entry;
    QStringList fields; // N, S, D, T, A, F, Y
};

// The line of a file under a mode and criterion, as the list's description gives it.
QString modelLine(const ModelFile& f, Mode mode, Criterion criterion) {
    const QStringList& v = f.fields;
    if (mode == Mode::FileHogs)
        return QStringList{v[S], v[D], v[T], v[A], v[F] + "/" + v[N], v[Y]}.join('\t');
    switch (criterion) {
    case SizeOnly:
    case SizeDateTime:
    case SizeAndType:
        return QStringList{v[S], v[N], v[D], v[T], v[A], v[F], v[Y]}.join('\t');
    case TypeDateTime:
        return QStringList{v[Y], v[D], v[T], v[N], v[S], v[A], v[F]}.join('\t');
    default:
        return v.join('\t');
    }
}

// The fields a group of duplicates shares.
std::vector<int> modelKey(Criterion criterion) {
    switch (criterion) {
    case FilenameOnly:
        return {N};
    case FilenameAndSize:
        return {N, S};
    case FilenameSizeDateTime:
        return {N, S, D, T};
    case SizeOnly:
        return {S};
    case SizeDateTime:
        return {S, D, T};
    case SizeAndType:
        return {S, Y};
    case TypeDateTime:
        return {Y, D, T};
    }
    return {};
}

int compareFields(const ModelFile& a, const ModelFile& b, const std::vector<int>& fields) {
    for (int f : fields) {
        if (const int c = compareIgnoringCase(a.fields[f], b.fields[f]))
            return c;
    }
    return 0;
}

// The files in list order: duplicates by their line's fields (the key first where it is not
// the line's beginning), large files by size as a number, then by the other fields backwards.
std::vector<ModelFile> modelOrder(std::vector<ModelFile> files, Mode mode, Criterion criterion) {
    std::stable_sort(files.begin(), files.end(), [&](const ModelFile& a, const ModelFile& b) {
        if (mode == Mode::FileHogs) {
            if (a.entry.size != b.entry.size)
                return a.entry.size > b.entry.size;
            return compareFields(a, b, {D, T, A, F, N, Y}) > 0;
        }
        const QStringList la = modelLine(a, mode, criterion).split('\t');
        const QStringList lb = modelLine(b, mode, criterion).split('\t');
        if (criterion == SizeDateTime || criterion == SizeAndType) {
            if (const int c = compareFields(a, b, modelKey(criterion)))
                return c < 0;
        }
        for (int k = 0; k < la.size(); ++k) {
            if (const int c = compareIgnoringCase(la[k], lb[k]))
                return c < 0;
        }
        return false;
    });
    return files;
}

// A grid row's cells and the inode of the file it lists.
QString modelRow(const ModelFile& f, Mode mode) {
    const QString cells =
        mode == Mode::FileHogs ? modelLine(f, mode, SizeOnly) : f.fields.join('\t');
    return cells + " #" + QString::number(f.entry.inode);
}

// The files a list keeps: the first name of each file (device and inode) in walk order.
std::vector<ModelFile> modelFirstNames(const std::vector<ModelFile>& files) {
    std::vector<ModelFile> kept;
    QSet<QPair<quint64, quint64>> seen;
    for (const ModelFile& f : files) {
        const QPair<quint64, quint64> id(f.entry.device, f.entry.inode);
        if (f.entry.inode == 0 || !seen.contains(id))
            kept.push_back(f);
        seen.insert(id);
    }
    return kept;
}

// The grid rows of the duplicates: runs of two or more files whose key equals the run's first,
// each row with the number of its run among the runs shown (from 1).
QStringList modelGroups(const std::vector<ModelFile>& ordered, Criterion criterion) {
    QStringList rows;
    int group = 0;
    for (size_t i = 0; i < ordered.size();) {
        size_t j = i + 1;
        while (j < ordered.size() &&
               compareFields(ordered[i], ordered[j], modelKey(criterion)) == 0)
            ++j;
        group += j - i >= 2 ? 1 : 0;
        for (size_t k = i; j - i >= 2 && k < j; ++k)
            rows << modelRow(ordered[k], Mode::Duplicates) + " g" + QString::number(group);
        i = j;
    }
    return rows;
}

class FoundListTest : public ::testing::Test {
protected:
    void SetUp() override {
        world.useRegistry("REGEDIT4\n"
                          "[HKEY_CLASSES_ROOT\\.aaa]\n@=\"pic.file\"\n"
                          "[HKEY_CLASSES_ROOT\\.bbb]\n@=\"pic.file\"\n"
                          "[HKEY_CLASSES_ROOT\\pic.file]\n@=\"Picture file\"\n");
    }

    // Files of a few folders, names, sizes and times, so that most fields repeat, some only
    // but for case.  A walk hands over a folder's files together, so runs share a folder.
    // Some files are further names of an earlier file (its device, inode, size and times),
    // the two devices number their files alike, and a few files have no inode (0).
    // With `wide`, names, folders and sizes also take hundreds of values, so that every table
    // of distinct texts grows many times over.
    std::vector<ModelFile> randomFiles(std::mt19937& random, int count, bool wide = false) {
        const QStringList folders = {"/w/a", "/w/A", "/w/a/b", "/w/b"};
        // Among them names that upper-case alike without being equal ignoring case.
        const QStringList names = {"x.aaa",
                                   "X.AAA",
                                   "x.bbb",
                                   "y.ccc",
                                   "Y.ccc",
                                   "y",
                                   "_z.aaa",
                                   "strasse.aaa",
                                   QStringLiteral("stra\u00dfe.aaa"),
                                   "file.bbb",
                                   QStringLiteral("f\u0131le.bbb"),
                                   QStringLiteral("STRA\u00dfE.aaa")};
        const qint64 sizes[] = {0, 7, 999, 1000, 2000, 10000, 123456};
        const qint64 noon = 1780000000;
        const qint64 writes[] = {0, noon, noon + 1, noon + 2, noon + 3600, noon + 86400 * 40};
        const qint64 accesses[] = {noon, noon + 86400, noon - 86400 * 400};
        auto pick = [&random](auto& values) {
            return values[random() % (sizeof(values) / sizeof(values[0]))];
        };
        std::vector<ModelFile> files;
        QString folder = folders[0];
        quint64 lastInode[2] = {0, 0};
        for (int i = 0; i < count; ++i) {
            if (random() % 4 == 0) {
                folder = folders[int(random() % unsigned(folders.size()))];
                if (wide)
                    folder += QString::number(random() % 60);
            }
            ModelFile f;
            f.folder = folder;
            f.entry.name = names[int(random() % unsigned(names.size()))];
            if (wide) {
                const qsizetype dot = f.entry.name.indexOf('.');
                f.entry.name.insert(dot < 0 ? f.entry.name.size() : dot,
                                    QString::number(random() % 300));
            }
            f.entry.size = wide && random() % 2 ? qint64(random() % 5000) : pick(sizes);
            f.entry.writeTime = pick(writes);
            f.entry.accessTime = pick(accesses);
            const int device = int(random() % 2);
            f.entry.device = quint64(5 + device);
            f.entry.inode = random() % 8 == 0 ? 0 : ++lastInode[device];
            if (!files.empty() && random() % 5 == 0) {
                const platform::DirEntry& named = files[random() % files.size()].entry;
                f.entry.size = named.size;
                f.entry.writeTime = named.writeTime;
                f.entry.accessTime = named.accessTime;
                f.entry.device = named.device;
                f.entry.inode = named.inode;
            }
            const QStringList times = fieldsAlone(f.entry.writeTime, f.entry.accessTime, "t");
            const QStringList type = fieldsAlone(0, 0, f.entry.name);
            f.fields = QStringList{
                f.entry.name, FormatThousands(f.entry.size), times[D], times[T], times[A], f.folder,
                type[Y]};
            files.push_back(f);
        }
        return files;
    }

    // The fields of one file, read from a list of that file alone (a list per distinct file).
    QStringList fieldsAlone(qint64 write, qint64 access, const QString& name) {
        const QString key = QStringLiteral("%1 %2 %3").arg(write).arg(access).arg(name);
        if (!m_alone.contains(key)) {
            platform::DirEntry entry;
            entry.name = name;
            entry.writeTime = write;
            entry.accessTime = access;
            FoundList one(Mode::Duplicates, FilenameOnly);
            one.add("/", entry);
            m_alone.insert(key, one.lines().value(0).split('\t'));
        }
        return m_alone.value(key);
    }

    QHash<QString, QStringList> m_alone;
    SandboxWorld world;
};

TEST_F(FoundListTest, OrderGroupsAndFirstNamesMatchAPlainSortOfTheLines) {
    std::mt19937 random(20260528);
    for (int round = 0; round < 3; ++round) {
        // The last round is big enough for every table of the list to grow several times.
        const std::vector<ModelFile> files =
            round == 2 ? randomFiles(random, 4000, true) : randomFiles(random, 150);
        // In one round the list is ordered halfway through, then takes more files.
        const size_t orderedAfter = round == 1 ? files.size() / 2 : files.size();
        for (Mode mode : {Mode::Duplicates, Mode::FileHogs}) {
            for (int c = 0; c < kCriterionCount; ++c) {
                const auto criterion = Criterion(c);
                if (mode == Mode::FileHogs && criterion != SizeOnly)
                    continue; // large files have one order
                SCOPED_TRACE(testing::Message()
                             << "round " << round << " mode " << int(mode) << " criterion " << c);
                FoundList list(mode, criterion);
                for (size_t i = 0; i < files.size(); ++i) {
                    if (i == orderedAfter)
                        list.lines();
                    ASSERT_TRUE(list.add(files[i].folder, files[i].entry));
                }
                const std::vector<ModelFile> ordered =
                    modelOrder(modelFirstNames(files), mode, criterion);
                QStringList expected;
                for (const ModelFile& f : ordered)
                    expected << modelLine(f, mode, criterion);
                ASSERT_EQ(list.lines(), expected);

                TextGrid grid(mode == Mode::Duplicates ? 7 : 6);
                const int rows = list.moveToGrid(grid);
                QStringList shown, hogs;
                for (int r = 1; r < grid.rowCount(); ++r)
                    shown << grid.rowCells(r).join('\t') + " #" +
                                 QString::number(grid.identity(r).inode) +
                                 (mode == Mode::Duplicates ? " g" + QString::number(grid.group(r))
                                                           : QString());
                for (const ModelFile& f : ordered)
                    hogs << modelRow(f, Mode::FileHogs);
                EXPECT_EQ(shown, mode == Mode::FileHogs ? hogs : modelGroups(ordered, criterion));
                EXPECT_EQ(rows, grid.rowCount() - 1);
                EXPECT_EQ(list.count(), 0);
            }
        }
    }
}

} // namespace
