// The directory walk against find(1) on a tree of 500,000 files, reading in the caller's thread
// alone and with its worker threads reading ahead.
//
// The tree (11,110 folders four levels deep, 45 files in each and 50 in the top folder) is made
// once below the build folder and reused.  After one warm-up run of each, the one-thread walk,
// the walk with threads (one per core, at most 8, the caller's among them), both delivering
// every file with its attributes, size and three times as the tools receive them, and
// `find TREE -printf '%s %T@ %A@\n' > /dev/null` run five times in turn; each ratio is a median
// walk time over the median find time.
//
// Memory: the walk with threads runs once more in a fresh child process, which reports its
// resident size just before the walk and its peak resident size (VmHWM) after it.  The
// difference is what the walk itself needed; the program's own start-up (Qt, the C library) is
// not counted.
//
// Cold cache: when /proc/sys/vm/drop_caches can be written, find and both walks run once more,
// each after the page, folder and inode caches were dropped.
//
// Usage: bench_walk [TREE]      (default: the data folder of the build)
//        bench_walk --walk-once TREE THREADS   (the child's part)

#include "benchkit.h"
#include "platform/dirsearch.h"
#include "scan/walk.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

WalkResult walkOnce(const QString& tree, int threads) {
    bool abort = false;
    scan::Walker walker(abort);
    walker.setThreadCount(threads);
    WalkResult r;
    // As a tool sets it up: a filter that reads every field and a status bar.
    walker.callbacks().file = [&r](const scan::WalkFolder&, const platform::DirEntry& e) {
        ++r.files;
        r.checksum +=
            e.size + e.attributes + e.writeTime + e.accessTime + e.creationTime + e.name.size();
    };
    QString status;
    walker.callbacks().progress = [&status](const QString& folder) { status = folder; };
    walker.walkTree(tree);
    return r;
}

double findOnce(const QString& tree) {
    const QByteArray command =
        "find -H '" + QFile::encodeName(tree) + "' -printf '%s %T@ %A@\\n' > /dev/null";
    return commandSeconds(command);
}

// Drops the page, folder and inode caches; false when this process may not.
bool dropCaches() {
    if (std::system("sync") != 0)
        return false;
    QFile f(QStringLiteral("/proc/sys/vm/drop_caches"));
    return f.open(QIODevice::WriteOnly) && f.write("3\n") == 2 && f.flush();
}

double timeWalk(const QString& tree, int threads, WalkResult* result) {
    QElapsedTimer t;
    t.start();
    *result = walkOnce(tree, threads);
    return double(t.nsecsElapsed()) / 1e9;
}

// The child's part: one walk in a fresh process, resident size before, peak after (KiB).
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--walk-once"))
        return reportMemory([&args] { return walkOnce(args[2], args[3].toInt()).files; });

    const QString tree = args.size() > 1 ? args[1] : defaultTree();
    if (!ensureTree(tree)) {
        std::fprintf(stderr, "bench walk: cannot make the tree in %s\n", qPrintable(tree));
        return 1;
    }
    const int threads = scan::Walker().threadCount();

    // Warm the cache, and check that both see the whole tree.
    if (findOnce(tree) < 0) {
        std::fprintf(stderr, "bench walk: find failed\n");
        return 1;
    }
    const WalkResult warm = walkOnce(tree, 1);
    const WalkResult warmThreads = walkOnce(tree, threads);
    for (const WalkResult& r : {warm, warmThreads}) {
        if (r.files != kTotalFiles || r.checksum != warm.checksum) {
            std::fprintf(stderr, "bench walk: a walk saw %lld files, not %lld\n", r.files,
                         kTotalFiles);
            return 1;
        }
    }

    std::vector<double> oneTimes, threadTimes, findTimes;
    double oneCpu = 0, threadCpu = 0, findCpu = 0;
    for (int round = 0; round < kRounds; ++round) {
        WalkResult r1, rn;
        const CpuTimes c0 = cpuTimes();
        oneTimes.push_back(timeWalk(tree, 1, &r1));
        const CpuTimes c1 = cpuTimes();
        threadTimes.push_back(timeWalk(tree, threads, &rn));
        const CpuTimes c2 = cpuTimes();
        findTimes.push_back(findOnce(tree));
        const CpuTimes c3 = cpuTimes();
        if (r1.checksum != warm.checksum || rn.checksum != warm.checksum)
            std::printf("  (the tree changed during the run)\n");
        oneCpu += c1.self - c0.self;
        threadCpu += c2.self - c1.self;
        findCpu += c3.children - c2.children;
        std::printf("  round %d: walk 1 thread %.3f s, %d threads %.3f s, find %.3f s\n", round + 1,
                    oneTimes.back(), threads, threadTimes.back(), findTimes.back());
    }
    const double oneTime = median(oneTimes);
    const double threadTime = median(threadTimes);
    const double findTime = median(findTimes);

    const Memory memory = memoryInChild(
        app.applicationFilePath(), {QStringLiteral("--walk-once"), tree, QString::number(threads)});
    const qint64 before = memory.before;
    const qint64 peak = memory.peak;
    const double growthMiB = double(peak - before) / 1024.0;

    std::printf("walk: median %.3f s with 1 thread, %.3f s with %d threads (%.0f files/s); "
                "find: median %.3f s\n",
                oneTime, threadTime, threads, double(kTotalFiles) / threadTime, findTime);
    std::printf("processor time over %d rounds: walk 1 thread %.2f s, %d threads %.2f s, "
                "find %.2f s\n",
                kRounds, oneCpu, threads, threadCpu, findCpu);
    std::printf("memory of a walk with %d threads in a fresh process: %.1f MiB resident before, "
                "peak %.1f MiB, growth %.1f MiB\n",
                threads, before / 1024.0, peak / 1024.0, growthMiB);

    if (dropCaches()) {
        const double coldFind = findOnce(tree);
        WalkResult r;
        dropCaches();
        const double coldOne = timeWalk(tree, 1, &r);
        dropCaches();
        const double coldThreads = timeWalk(tree, threads, &r);
        std::printf("cold cache: find %.3f s, walk 1 thread %.3f s (ratio %.2f), %d threads "
                    "%.3f s (ratio %.2f)\n",
                    coldFind, coldOne, coldOne / coldFind, threads, coldThreads,
                    coldThreads / coldFind);
    } else {
        std::printf("cold cache: not measured (the caches cannot be dropped here)\n");
    }

    std::printf("bench walk: ratio %.2f (1 thread), ratio %.2f (%d threads), peak memory %.1f MiB, "
                "files %lld\n",
                oneTime / findTime, threadTime / findTime, threads, growthMiB, warm.files);
    return 0;
}
