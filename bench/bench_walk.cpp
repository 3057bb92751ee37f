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

#include "benchkit.h"
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

using namespace benchkit;

constexpr int kRounds = 5;

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

    const QString tree = args.size() > 1 ? args[1] : defaultTree();
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
