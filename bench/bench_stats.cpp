// The statistics collection against the bare walk on the tree of 500,000 files.
//
// Both run the way the statistics window runs its walk: in steps from an event loop, with every
// file (hidden and system ones too) delivered.  The collection counts each file into every table
// (stats::Collector, the code the window uses, with the cluster waste of a single drive); the
// bare walk only counts the files.  After one warm-up run of each, both run five times in turn;
// the ratio is the median collection time over the median walk time.
//
// Usage: bench_stats [TREE]      (default: the data folder of the build)
#include "benchkit.h"
#include "platform/dirsearch.h"
#include "scan/steppedwalk.h"
#include "scan/walk.h"
#include "stats/statscan.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QEventLoop>
#include <cstdio>
#include <vector>

namespace {

using namespace benchkit;

constexpr int kRounds = 5;

// Runs the walker's walk of the tree in steps until it is over.
void runInSteps(scan::Walker& walker, const QString& tree) {
    scan::SteppedWalk walk(walker);
    QEventLoop loop;
    QObject::connect(&walk, &scan::SteppedWalk::finished, &loop, &QEventLoop::quit);
    if (walk.startTree(tree))
        loop.exec();
}

qint64 collectOnce(const QString& tree, double* seconds) {
    QElapsedTimer t;
    t.start();
    stats::Collector collector(stats::TypeFilter(), QDate::currentDate());
    collector.setOverhang(true);
    QString status;
    collector.walker().callbacks().progress = [&status](const QString& folder) { status = folder; };
    runInSteps(collector.walker(), tree);
    *seconds = double(t.nsecsElapsed()) / 1e9;
    return collector.totals().filesCounted;
}

qint64 walkOnce(const QString& tree, double* seconds) {
    QElapsedTimer t;
    t.start();
    scan::Walker walker;
    walker.setFileMask(platform::faAnyFile & ~platform::faDirectory);
    qint64 files = 0;
    walker.callbacks().file = [&files](const scan::WalkFolder&, const platform::DirEntry&) {
        ++files;
    };
    QString status;
    walker.callbacks().progress = [&status](const QString& folder) { status = folder; };
    runInSteps(walker, tree);
    *seconds = double(t.nsecsElapsed()) / 1e9;
    return files;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString tree = args.size() > 1 ? args[1] : defaultTree();
    if (!ensureTree(tree)) {
        std::fprintf(stderr, "bench stats: cannot make the tree in %s\n", qPrintable(tree));
        return 1;
    }
    double seconds = 0;
    const qint64 walked = walkOnce(tree, &seconds);
    const qint64 counted = collectOnce(tree, &seconds);
    // Hidden files count too: the tree's marker file is one of them.
    if (walked != counted || walked < kTotalFiles) {
        std::fprintf(stderr, "bench stats: saw %lld and %lld files, not %lld\n", walked, counted,
                     kTotalFiles);
        return 1;
    }
    std::vector<double> collections, walks;
    for (int round = 0; round < kRounds; ++round) {
        double c = 0, w = 0;
        collectOnce(tree, &c);
        walkOnce(tree, &w);
        collections.push_back(c);
        walks.push_back(w);
        std::printf("  stats round %d: collection %.3f s, walk %.3f s\n", round + 1, c, w);
    }
    std::printf("bench stats: ratio %.2f, files %lld\n", median(collections) / median(walks),
                counted);
    return 0;
}
