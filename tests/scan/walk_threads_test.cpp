// The walk with threads reading ahead against the one-thread walk, callback by callback, on
// seeded random trees: whole walks, walks in steps, aborts at random points, folders removed
// while the walk runs, and the workers' lifetime.

#include "platform/dirsearch.h"
#include "platform/names.h"
#include "scan/walk.h"
#include "support/entrybuilders.h"
#include "support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QThread>
#include <cerrno>
#include <gtest/gtest.h>
#include <memory>
#include <random>

using namespace platform;
using scan::Walker;
using scan::WalkFolder;

namespace {

// How a walk is run: its threads and read-ahead limits.  Tiny limits make the walk's own thread
// read most folders itself while the workers get on where they may.
struct Reading {
    int threads;
    int folders = 64;
    int entries = 8192;
};
const Reading kOneThread{1};
const Reading kThreaded[] = {{2}, {8}, {3, 1, 1}, {2, 4, 40}};

void configure(Walker& walker, const Reading& run) {
    walker.setThreadCount(run.threads);
    walker.setReadAheadLimits(run.folders, run.entries);
}

QString describe(const DirEntry& e) {
    return QStringLiteral("%1\ta%2 s%3 t%4,%5,%6.%7 i%8:%9")
        .arg(e.name)
        .arg(e.attributes)
        .arg(e.size)
        .arg(e.accessTime)
        .arg(e.creationTime)
        .arg(e.writeTime)
        .arg(e.writeNanoseconds)
        .arg(e.device)
        .arg(e.inode);
}

// Every callback as one line of tab-separated fields, the callback's name first, then every
// value it was given.  `onEvent` runs after each line is recorded (the abort flag, removals).
struct Recorder {
    explicit Recorder(Walker& walker) {
        auto& cb = walker.callbacks();
        cb.enterFolder = [this](const WalkFolder& f) {
            add(QStringLiteral("enter\t%1\t%2\t%3\t%4")
                    .arg(f.path)
                    .arg(f.depth)
                    .arg(f.drive, f.root));
        };
        cb.file = [this](const WalkFolder& f, const DirEntry& e) {
            add("file\t" + f.path + "\t" + describe(e));
        };
        cb.leaveFolder = [this](const WalkFolder& f, bool complete) {
            add((complete ? "leave\t" : "leave!\t") + f.path);
        };
        cb.folderSkipped = [this](const QString& path, const QString& reason) {
            add(QStringLiteral("skip\t%1\t%2").arg(path, reason));
        };
        cb.driveFailed = [this](QChar drive, const QString& root) {
            add(QStringLiteral("drive\t%1\t%2").arg(drive).arg(root));
        };
    }
    void add(const QString& line) {
        events << line;
        if (onEvent)
            onEvent(line);
    }

    QStringList events;
    std::function<void(const QString&)> onEvent;
};

QString field(const QString& event, int n) {
    return event.section('\t', n, n);
}

// Empty when the lists are equal, else where they first differ.
std::string difference(const QStringList& got, const QStringList& expected) {
    for (qsizetype i = 0; i < std::max(got.size(), expected.size()); ++i) {
        const QString a = got.value(i, "(nothing)");
        const QString b = expected.value(i, "(nothing)");
        if (a != b)
            return QStringLiteral("event %1 of %2/%3:\n  got      %4\n  expected %5")
                .arg(i)
                .arg(got.size())
                .arg(expected.size())
                .arg(a, b)
                .toStdString();
    }
    return std::string();
}

std::string difference(const QSet<QString>& got, const QSet<QString>& expected) {
    QStringList extra = (got - expected).values();
    QStringList missing = (expected - got).values();
    if (extra.isEmpty() && missing.isEmpty())
        return std::string();
    return ("extra: " + extra.join(", ") + "\nmissing: " + missing.join(", ")).toStdString();
}

// The events of a blocking walk of the tree; with abortAt >= 0 the tool's flag is set by the
// callback of that event.
QStringList walkEvents(const QString& root, const Reading& run, quint32 mask = 0x29,
                       const QString& pattern = "*.*", int abortAt = -1) {
    bool abort = false;
    Walker walker(abort);
    configure(walker, run);
    walker.setFileMask(mask);
    walker.setPattern(pattern);
    Recorder rec(walker);
    rec.onEvent = [&](const QString&) {
        if (rec.events.size() - 1 == abortAt)
            abort = true;
    };
    walker.walkTree(root);
    return rec.events;
}

// Enter and leave nest, and every folder entered is left.
void expectNested(const QStringList& events) {
    QStringList open;
    for (const QString& e : events) {
        if (e.startsWith("enter\t")) {
            open << field(e, 1);
        } else if (e.startsWith("leave")) {
            ASSERT_FALSE(open.isEmpty()) << e.toStdString();
            ASSERT_TRUE(field(e, 1) == open.takeLast()) << e.toStdString();
        }
    }
    EXPECT_TRUE(open.isEmpty());
}

// After the event at `at` only unfinished leaves follow.
void expectOnlyLeavesAfter(const QStringList& events, qsizetype at) {
    for (qsizetype i = at + 1; i < events.size(); ++i)
        ASSERT_TRUE(events[i].startsWith("leave!\t")) << events[i].toStdString();
}

// A random tree below root, the same for the same seed: nested folders, hidden folders and
// files, read-only files, files of several sizes, links to files and folders (dangling ones
// and one back to the root), a FIFO, names with blanks, capitals, non-ASCII letters and bytes
// that are not UTF-8.  It keeps, relative to the root, the files a walk with the default mask
// delivers and the folders it enters.
struct RandomTree {
    RandomTree(const QString& root, quint32 seed, int entries, bool oddEntries = true)
        : root(root) {
        std::mt19937 rng(seed);
        auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
        struct Folder {
            QString rel;
            bool walked;
            int depth;
        };
        QList<Folder> all = {{QString(), true, 0}};
        QStringList made;
        const char* const stems[] = {"a",      "Report 2024", "x.TXT", "notes.doc", "Grüße",
                                     "日本語", "data.tmp",    "z",     "Mixed.Txt", "b c d"};
        for (int i = 0; i < entries; ++i) {
            const Folder parent = all[pick(int(all.size()))];
            const int kind = pick(100);
            const bool hidden = pick(9) == 0;
            const QString name = QStringLiteral("%1%2-%3")
                                     .arg(hidden ? "." : "")
                                     .arg(i)
                                     .arg(QString::fromUtf8(stems[pick(10)]));
            const QString rel = parent.rel.isEmpty() ? name : parent.rel + "/" + name;
            const QString full = root + "/" + rel;
            if (kind < 25 && parent.depth < 6) {
                QDir().mkpath(full);
                all.append({rel, parent.walked && !hidden, parent.depth + 1});
                if (parent.walked && !hidden)
                    folders.insert(rel);
            } else if (kind < 85) {
                QFile f(full);
                if (!f.open(QIODevice::WriteOnly))
                    continue;
                const int sizes[] = {0, 1, 100, 4096, 10000};
                f.write(QByteArray(sizes[pick(5)], 'v'));
                f.close();
                if (pick(8) == 0)
                    QFile::setPermissions(full, QFile::ReadOwner);
                if (parent.walked && !hidden)
                    files.insert(rel);
                made << full;
            } else if (kind < 93 && !made.isEmpty()) {
                scantest::makeLink(made[pick(int(made.size()))], full);
            } else if (kind < 97) {
                scantest::makeLink(root + "/" + all[pick(int(all.size()))].rel, full);
            } else {
                scantest::makeLink(full + "-missing", full);
            }
        }
        scantest::makeLink(root, root + "/back-to-root");
        if (!oddEntries)
            return;
        scantest::makeFifo(root + "/pipe");
        const QByteArray raw("Gr\xfc\xdf"
                             "e \x80\xff");
        scantest::makeRawEntry(root, raw, true);
        scantest::makeRawEntry(root, raw + "/" + raw + ".txt");
        folders.insert(decodeName(raw));
        files.insert(decodeName(raw) + "/" + decodeName(raw + ".txt"));
    }
    ~RandomTree() { scantest::removeTree(root); } // beyond what QDir can remove

    QString rel(const QString& path) const {
        return path == root ? QString() : path.mid(root.size() + 1);
    }
    // The files and folders (relative) that the events show.
    QSet<QString> filesOf(const QStringList& events) const {
        QSet<QString> out;
        for (const QString& e : events) {
            if (e.startsWith("file\t")) {
                const QString folder = rel(field(e, 1));
                out.insert(folder.isEmpty() ? field(e, 2) : folder + "/" + field(e, 2));
            }
        }
        return out;
    }
    QSet<QString> foldersOf(const QStringList& events) const {
        QSet<QString> out;
        for (const QString& e : events) {
            if (e.startsWith("enter\t") && field(e, 1) != root)
                out.insert(rel(field(e, 1)));
        }
        return out;
    }

    QString root;
    QSet<QString> files;
    QSet<QString> folders;
};

// Walks once so that the folders' access times, which the first listing may change, hold still.
void settle(const QString& root) {
    walkEvents(root, kOneThread, faAnyFile);
}

class ThreadedWalk : public ::testing::TestWithParam<quint32> {
protected:
    SandboxWorld world;
};

} // namespace

TEST_P(ThreadedWalk, DeliversWhatTheOneThreadWalkDelivers) {
    RandomTree tree(world.makeDir("c/tree"), GetParam(), 300);
    settle(tree.root);
    const struct {
        quint32 mask;
        const char* pattern;
    } searches[] = {{0x29, "*.*"},
                    {faAnyFile, "*.*"},
                    {faReadOnly | faHidden | faVolumeId | faArchive, "*.txt"},
                    {faDirectory | faArchive, "?0*"}};
    for (const auto& search : searches) {
        const QStringList expected = walkEvents(tree.root, kOneThread, search.mask, search.pattern);
        expectNested(expected);
        if (search.mask == 0x29) {
            EXPECT_EQ(difference(tree.filesOf(expected), tree.files), "");
            EXPECT_EQ(difference(tree.foldersOf(expected), tree.folders), "");
        }
        for (const Reading& run : kThreaded) {
            const QStringList events = walkEvents(tree.root, run, search.mask, search.pattern);
            ASSERT_EQ(difference(events, expected), "")
                << "threads " << run.threads << " limits " << run.folders << "/" << run.entries
                << " mask " << search.mask << " " << search.pattern;
        }
    }
}

TEST_P(ThreadedWalk, AbortAtAnyPointEndsAsTheOneThreadWalkEnds) {
    RandomTree tree(world.makeDir("c/tree"), GetParam(), 200, false);
    settle(tree.root);
    const qsizetype length = walkEvents(tree.root, kOneThread).size();
    std::mt19937 rng(GetParam());
    for (int round = 0; round < 8; ++round) {
        const int at = int(rng() % quint32(length));
        const QStringList expected = walkEvents(tree.root, kOneThread, 0x29, "*.*", at);
        expectNested(expected);
        expectOnlyLeavesAfter(expected, at);
        for (const Reading& run : {Reading{3}, Reading{2, 1, 1}})
            ASSERT_EQ(difference(walkEvents(tree.root, run, 0x29, "*.*", at), expected), "")
                << "at " << at;
    }
}

TEST_P(ThreadedWalk, StepsDeliverWhatABlockingWalkDelivers) {
    RandomTree tree(world.makeDir("c/tree"), GetParam(), 200, false);
    settle(tree.root);
    const QStringList expected = walkEvents(tree.root, kOneThread, faAnyFile);
    for (const Reading& run : {kOneThread, Reading{3}, Reading{2, 2, 8}}) {
        for (int budget : {0, 2}) {
            Walker walker; // owns its abort
            configure(walker, run);
            walker.setFileMask(faAnyFile);
            Recorder rec(walker);
            int steps = 0;
            ASSERT_TRUE(walker.startTree(tree.root));
            EXPECT_TRUE(rec.events.isEmpty()); // everything comes from the steps
            while (walker.step(budget))
                ++steps;
            EXPECT_FALSE(walker.isWalking());
            EXPECT_FALSE(walker.step(budget));
            ASSERT_EQ(difference(rec.events, expected), "")
                << "threads " << run.threads << " budget " << budget;
            if (budget == 0) {
                EXPECT_GT(steps, 10);
            }
        }
    }
}

TEST_P(ThreadedWalk, AbortBetweenStepsOrFromACallbackLeavesEveryFolder) {
    RandomTree tree(world.makeDir("c/tree"), GetParam(), 200, false);
    settle(tree.root);
    const qsizetype length = walkEvents(tree.root, kOneThread).size();
    std::mt19937 rng(GetParam() * 7 + 1);
    for (int round = 0; round < 6; ++round) {
        const int at = int(rng() % quint32(length));
        const bool fromCallback = round % 2 == 1;
        Walker walker;
        configure(walker, round < 3 ? Reading{3} : kOneThread);
        Recorder rec(walker);
        qsizetype abortedAt = -1;
        if (fromCallback) {
            rec.onEvent = [&](const QString&) {
                if (abortedAt < 0 && rec.events.size() > at) {
                    abortedAt = rec.events.size() - 1;
                    walker.abort();
                }
            };
        }
        ASSERT_TRUE(walker.startTree(tree.root));
        while (walker.step(0)) {
            if (!fromCallback && rec.events.size() > at) {
                abortedAt = rec.events.size() - 1;
                walker.abort();
                EXPECT_FALSE(walker.isWalking()); // left at once
            }
        }
        expectNested(rec.events);
        if (abortedAt >= 0)
            expectOnlyLeavesAfter(rec.events, abortedAt);
        // The next walk starts afresh.
        rec.events.clear();
        rec.onEvent = nullptr;
        ASSERT_TRUE(walker.startTree(tree.root));
        while (walker.step(50)) {
        }
        EXPECT_EQ(rec.events.size(), length);
    }
}

TEST_P(ThreadedWalk, FoldersRemovedWhileTheWalkRunsAreSkippedOrMissed) {
    std::mt19937 rng(GetParam() * 31 + 5);
    for (const Reading& run : {kOneThread, Reading{3}, Reading{2, 2, 16}}) {
        RandomTree tree(world.makeDir("c/removing"), GetParam(), 250, false);
        QStringList candidates = tree.folders.values();
        candidates.sort();
        QStringList removed;
        Walker walker;
        configure(walker, run);
        Recorder rec(walker);
        rec.onEvent = [&](const QString& line) {
            if (line.startsWith("file\t") && !candidates.isEmpty() && rng() % 8 == 0) {
                const QString rel = candidates.takeAt(qsizetype(rng() % candidates.size()));
                removed << rel;
                scantest::removeTree(tree.root + "/" + rel);
            }
        };
        ASSERT_TRUE(walker.walkTree(tree.root));
        ASSERT_FALSE(removed.isEmpty());
        expectNested(rec.events);
        EXPECT_TRUE(rec.events.last() == "leave\t" + tree.root);

        auto underRemoved = [&](const QString& rel) {
            for (const QString& r : removed) {
                if (rel == r || rel.startsWith(r + "/"))
                    return true;
            }
            return false;
        };
        for (const QString& e : rec.events) {
            if (e.startsWith("skip\t")) {
                EXPECT_EQ(field(e, 2), errorText(ENOENT)) << e.toStdString();
                EXPECT_TRUE(underRemoved(tree.rel(field(e, 1)))) << e.toStdString();
            }
        }
        const QSet<QString> delivered = tree.filesOf(rec.events);
        EXPECT_TRUE(tree.files.contains(delivered));
        for (const QString& file : tree.files) {
            if (!underRemoved(file)) {
                EXPECT_TRUE(delivered.contains(file)) << file.toStdString();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ThreadedWalk, ::testing::Values(1u, 2u, 3u, 4u, 5u));

TEST(ThreadedWalkShapes, BigFoldersAreDeliveredInChunksInTheSameOrder) {
    // More entries than one read of a folder holds and than one task takes, subfolders and
    // files alike.
    SandboxWorld world;
    const QString root = world.makeDir("c/big");
    const QString pad = QString(40, 'p');
    for (int i = 0; i < 700; ++i)
        world.makeFile(QStringLiteral("c/big/file-%1-%2.txt").arg(i).arg(pad),
                       QByteArray(i % 7, 'x'));
    for (int i = 0; i < 300; ++i)
        world.makeFile(QStringLiteral("c/big/folder-%1-%2/%3.dat").arg(i).arg(pad).arg(i));
    const QStringList expected = walkEvents(root, kOneThread);
    ASSERT_EQ(expected.size(), 700 + 300 * 3 + 2);
    for (const Reading& run : kThreaded)
        EXPECT_EQ(difference(walkEvents(root, run), expected), "") << run.threads;
}

TEST(ThreadedWalkShapes, ASubfolderRemovedAfterItsFolderWasListedIsReported) {
    // With no room to read ahead the workers cannot have opened the last subfolder when the
    // first is entered; the one-thread walk has listed the folder by then too.
    for (const Reading& run : {kOneThread, Reading{3, 1, 1}}) {
        SandboxWorld world;
        const QString x = world.makeDir("c/x");
        for (int i = 0; i < 10; ++i)
            world.makeFile(QStringLiteral("c/x/s%1/f.txt").arg(i));
        QString last;
        Walker walker;
        configure(walker, run);
        Recorder rec(walker);
        rec.onEvent = [&](const QString& line) {
            if (line.startsWith("enter\t") && field(line, 2) == "1" && last.isEmpty()) {
                // The subfolder that comes last in the folder's own order.
                DirSearch s;
                s.open(x);
                while (s.nextFolder())
                    last = decodeName(s.currentName());
                scantest::removeTree(x + "/" + last);
            }
        };
        walker.walkTree(x);
        EXPECT_TRUE(
            rec.events.contains(QStringLiteral("skip\t%1/%2\t%3").arg(x, last, errorText(ENOENT))))
            << rec.events.join("\n").toStdString();
    }
}

TEST(ThreadedWalkShapes, DrivesInOneGoAndInSteps) {
    SandboxWorld world;
    RandomTree c(world.makeDir("c"), 11, 120, false);
    RandomTree e(world.makeDir("e"), 12, 120, false);
    world.setEnv("VASTEL_DRIVES", "C=" + c.root + ";D=" + world.makeFile("d-is-a-file") +
                                      ";E=" + e.root + ";F=" + world.path("missing"));
    settle(c.root);
    settle(e.root);
    const QList<QChar> letters = {'F', 'c', 'D', 'E'};
    auto drives = [&](const Reading& run, bool inSteps) {
        Walker walker;
        configure(walker, run);
        Recorder rec(walker);
        if (inSteps) {
            walker.startDrives(letters);
            while (walker.step(1)) {
            }
        } else {
            walker.scanAllDrives(letters);
        }
        return rec.events;
    };
    const QStringList expected = drives(kOneThread, false);
    EXPECT_TRUE(expected.contains("drive\tD\t" + world.path("d-is-a-file")));
    EXPECT_TRUE(expected.contains("leave\t" + c.root));
    EXPECT_TRUE(expected.contains("leave\t" + e.root));
    for (const Reading& run : {Reading{3}, Reading{2, 1, 1}}) {
        EXPECT_EQ(difference(drives(run, false), expected), "");
        EXPECT_EQ(difference(drives(run, true), expected), "");
    }
    EXPECT_EQ(difference(drives(kOneThread, true), expected), "");
}

// The threads and the open files of this process, as the system lists them.
int threadsNow() {
    return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}
int openFilesNow() {
    return int(QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}

TEST(ThreadedWalkShapes, FoldersHeldOpenStayWithinTheLimit) {
    // Wide and deep: the workers could open hundreds of folders ahead.
    SandboxWorld world;
    const QString root = world.makeDir("c/wide");
    for (int i = 0; i < 40; ++i)
        world.makeFile(QStringLiteral("c/wide/%1/a/b/c/f.txt").arg(i));
    const int before = openFilesNow();
    for (const Reading& run : {Reading{4, 6, 8192}, Reading{2, 3, 2}}) {
        Walker walker;
        configure(walker, run);
        int most = 0;
        walker.callbacks().file = [&](const WalkFolder&, const DirEntry&) {
            most = std::max(most, openFilesNow() - before);
        };
        walker.walkTree(root);
        // The limit, the folders of the path (which count towards it but are always open) and
        // one folder per worker that found room at the same moment.
        EXPECT_LE(most, run.folders + 5 + run.threads) << run.threads << "/" << run.folders;
        EXPECT_EQ(openFilesNow(), before); // nothing left open
    }
}

// A thread that has ended may stay listed for a moment after it was joined.
bool threadsBackTo(int count) {
    for (int i = 0; i < 500 && threadsNow() != count; ++i)
        QThread::msleep(10);
    return threadsNow() == count;
}

TEST(ThreadedWalkShapes, NoWorkerOutlivesItsWalk) {
    SandboxWorld world;
    RandomTree tree(world.makeDir("c/tree"), 21, 300, false);
    {
        // Whatever the process starts for itself with its first threads stays out of the count.
        Walker first;
        first.setThreadCount(4);
        first.walkTree(tree.root);
    }
    QThread::msleep(100);
    const int before = threadsNow();
    {
        Walker walker;
        walker.setThreadCount(4);
        walker.walkTree(tree.root);
        EXPECT_TRUE(threadsBackTo(before)) << "after a whole walk";

        ASSERT_TRUE(walker.startTree(tree.root));
        walker.step(0);
        EXPECT_GT(threadsNow(), before);
        walker.abort();
        EXPECT_FALSE(walker.isWalking());
        EXPECT_TRUE(threadsBackTo(before)) << "after abort()";

        bool flag = false;
        Walker tool(flag);
        tool.setThreadCount(4);
        tool.callbacks().file = [&](const WalkFolder&, const DirEntry&) { flag = true; };
        tool.walkTree(tree.root);
        EXPECT_TRUE(threadsBackTo(before)) << "after the tool's flag";

        ASSERT_TRUE(walker.startTree(tree.root));
        walker.step(0);
    } // destroyed in the middle of a walk in steps
    EXPECT_TRUE(threadsBackTo(before)) << "after the walker was destroyed";
}
