// The directory walk against find(1) on a tree of 500,000 files.
//
// The tree (11,110 folders four levels deep, 45 files in each and 50 in the top folder) is made
// once below the build folder and reused.  After one warm-up run of each, the walk (every file
// with its attributes, size and three times, as the tools receive them) and
// `find TREE -printf '%s %T@ %A@\n' > /dev/null` run five times in turn; the ratio is the median
// walk time over the median find time.
//
// Memory: the walk runs once more in a fresh child process, which reports its resident size
// just before the walk and its peak resident size (VmHWM) after it.  The difference is what
// the walk itself needed; the program's own start-up (Qt, the C library) is not counted.
//
// Usage: bench_walk [TREE]      (default: the data folder of the build)
//        bench_walk --walk-once TREE   (the child's part)

#include "platform/dirsearch.h"
#include "scan/walk.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kFanOut = 10;
constexpr int kLevels = 4;
constexpr int kFilesPerFolder = 45;
constexpr int kFilesAtTop = 50;
constexpr qint64 kTotalFiles = 500000;
constexpr int kRounds = 5;

const char* const kExtensions[] = {".txt", ".dat", ".jpg", ".c", ".h", ".html", ".tmp"};

QString completeMarker(const QString& tree) {
    return tree + "/.complete";
}

bool makeFiles(const QString& folder, int count, qint64* made) {
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("file-%1%2")
                                 .arg(i, 4, 10, QChar('0'))
                                 .arg(QLatin1String(kExtensions[i % 7]));
        QFile f(folder + "/" + name);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        // A few bytes in some files, so that sizes differ.
        if (i % 5 == 0)
            f.write(QByteArray(i % 97, 'x'));
        ++*made;
    }
    return true;
}

bool makeLevel(const QString& folder, int level, qint64* made) {
    if (level == kLevels)
        return true;
    for (int i = 0; i < kFanOut; ++i) {
        const QString sub = QStringLiteral("%1/folder-%2").arg(folder).arg(i);
        if (!QDir().mkpath(sub) || !makeFiles(sub, kFilesPerFolder, made) ||
            !makeLevel(sub, level + 1, made))
            return false;
    }
    return true;
}

// Makes the tree unless a complete one is there already.
bool ensureTree(const QString& tree) {
    QFile marker(completeMarker(tree));
    if (marker.open(QIODevice::ReadOnly) && marker.readAll().trimmed().toLongLong() == kTotalFiles)
        return true;
    std::printf("making a tree of %lld files in %s ...\n", kTotalFiles, qPrintable(tree));
    std::fflush(stdout);
    QDir(tree).removeRecursively();
    QElapsedTimer t;
    t.start();
    qint64 made = 0;
    if (!QDir().mkpath(tree) || !makeFiles(tree, kFilesAtTop, &made) || !makeLevel(tree, 0, &made))
        return false;
    if (made != kTotalFiles)
        return false;
    QFile done(completeMarker(tree));
    if (!done.open(QIODevice::WriteOnly))
        return false;
    done.write(QByteArray::number(made) + "\n");
    std::printf("  made in %.1f s\n", t.elapsed() / 1000.0);
    return true;
}

struct WalkResult {
    qint64 files = 0;
    qint64 checksum = 0; // keeps the per-file work from being optimised away
};

WalkResult walkOnce(const QString& tree) {
    bool abort = false;
    scan::Walker walker(abort);
    WalkResult r;
    // As a tool sets it up: a filter that reads every field, a status bar and an event pump.
    walker.callbacks().file = [&r](const scan::WalkFolder&, const platform::DirEntry& e) {
        ++r.files;
        r.checksum +=
            e.size + e.attributes + e.writeTime + e.accessTime + e.creationTime + e.name.size();
    };
    QString status;
    walker.callbacks().progress = [&status](const QString& folder) { status = folder; };
    walker.callbacks().pumpEvents = [] { QCoreApplication::processEvents(); };
    walker.walkTree(tree);
    return r;
}

double findOnce(const QString& tree) {
    const QByteArray command =
        "find '" + QFile::encodeName(tree) + "' -printf '%s %T@ %A@\\n' > /dev/null";
    QElapsedTimer t;
    t.start();
    if (std::system(command.constData()) != 0)
        return -1;
    return double(t.nsecsElapsed()) / 1e9;
}

// CPU seconds (user and system) of this process, and of its waited-for children, from
// /proc/self/stat (clock ticks of 1/100 s).
struct CpuTimes {
    double self = 0, children = 0;
};
CpuTimes cpuTimes() {
    QFile f(QStringLiteral("/proc/self/stat"));
    CpuTimes t;
    if (!f.open(QIODevice::ReadOnly))
        return t;
    const QByteArray text = f.readAll();
    // The fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // utime, stime, cutime, cstime are fields 14..17 of the line, 12..15 after the name.
    if (fields.size() > 15) {
        t.self = (fields[11].toDouble() + fields[12].toDouble()) / 100.0;
        t.children = (fields[13].toDouble() + fields[14].toDouble()) / 100.0;
    }
    return t;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// kB value of a "Name:   1234 kB" line of /proc/self/status.
qint64 statusKiB(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// The child's part: one walk in a fresh process, resident size before, peak after (KiB).
int walkOnceForMemory(const QString& tree) {
    const qint64 before = statusKiB("VmRSS:");
    const WalkResult r = walkOnce(tree);
    const qint64 peak = statusKiB("VmHWM:");
    std::printf("%lld %lld %lld\n", before, peak, r.files);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--walk-once"))
        return walkOnceForMemory(args[2]);

    const QString tree =
        args.size() > 1 ? args[1] : QStringLiteral(VASTEL_BENCH_DATA_DIR "/walk-tree");
    if (!ensureTree(tree)) {
        std::fprintf(stderr, "bench walk: cannot make the tree in %s\n", qPrintable(tree));
        return 1;
    }

    // Warm the cache, and check that both see the whole tree.
    if (findOnce(tree) < 0) {
        std::fprintf(stderr, "bench walk: find failed\n");
        return 1;
    }
    const WalkResult warm = walkOnce(tree);
    if (warm.files != kTotalFiles) {
        std::fprintf(stderr, "bench walk: the walk saw %lld files, not %lld\n", warm.files,
                     kTotalFiles);
        return 1;
    }

    std::vector<double> walkTimes, findTimes;
    double walkCpu = 0, findCpu = 0;
    for (int round = 0; round < kRounds; ++round) {
        const CpuTimes c0 = cpuTimes();
        QElapsedTimer t;
        t.start();
        const WalkResult r = walkOnce(tree);
        walkTimes.push_back(double(t.nsecsElapsed()) / 1e9);
        if (r.checksum != warm.checksum)
            std::printf("  (the tree changed during the run)\n");
        const CpuTimes c1 = cpuTimes();
        findTimes.push_back(findOnce(tree));
        const CpuTimes c2 = cpuTimes();
        walkCpu += c1.self - c0.self;
        findCpu += c2.children - c1.children;
        std::printf("  round %d: walk %.3f s, find %.3f s\n", round + 1, walkTimes.back(),
                    findTimes.back());
    }
    const double walkTime = median(walkTimes);
    const double findTime = median(findTimes);
    const double ratio = walkTime / findTime;

    QProcess child;
    child.start(app.applicationFilePath(), {QStringLiteral("--walk-once"), tree});
    child.waitForFinished(-1);
    const QList<QByteArray> mem = child.readAllStandardOutput().trimmed().split(' ');
    const qint64 before = mem.value(0).toLongLong();
    const qint64 peak = mem.value(1).toLongLong();
    const double growthMiB = double(peak - before) / 1024.0;

    std::printf("walk: median %.3f s (%.0f files/s); find: median %.3f s\n", walkTime,
                double(kTotalFiles) / walkTime, findTime);
    std::printf("processor time over %d rounds: walk %.2f s, find %.2f s (ratio %.2f)\n", kRounds,
                walkCpu, findCpu, findCpu > 0 ? walkCpu / findCpu : 0.0);
    std::printf("memory of a walk in a fresh process: %.1f MiB resident before, peak %.1f MiB, "
                "growth %.1f MiB\n",
                before / 1024.0, peak / 1024.0, growthMiB);
    std::printf("bench walk: ratio %.2f, peak memory %.1f MiB, files %lld\n", ratio, growthMiB,
                warm.files);
    return 0;
}
