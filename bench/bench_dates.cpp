// The files-accessed search ("Last modified", "In between" two dates that hold every file of the
// tree) against find on the tree of 500,000 files of benchkit.h.
//
// The search runs as the window runs it, without the window: the walk in steps from the event
// loop with its status callback and read-ahead threads, every file tested and turned into a
// grid row.  The command:
//
//   find -H TREE -type f -newermt 1980-01-01 ! -newermt 2100-12-31 -printf '%p\n' > /dev/null
//
// After a warm-up, search and command run three times in turn; the ratio is the median search
// time over the median command time.  Memory: the search runs once more in a fresh child
// process, which reports its resident size before and its peak (VmHWM) after; the difference
// over the files found is the memory per file.
//
// Usage: bench_dates [TREE]         (default: the data folder of the build)
//        bench_dates --once TREE    (the child's part)

#include "benchkit.h"
#include "scan/steppedwalk.h"
#include "search/filedates.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace benchkit;

int searchOnce(const QString& tree) {
    dates::SearchSettings settings;
    settings.kind = dates::Kind::Modified;
    settings.test = {dates::When::Between, QDate(1980, 1, 1), QDate(2100, 12, 31)};
    TextGrid grid;
    dates::Search search(settings, grid);
    QString status;
    search.walker().callbacks().progress = [&status](const QString& folder) { status = folder; };
    scan::SteppedWalk walk(search.walker());
    QEventLoop loop;
    QObject::connect(&walk, &scan::SteppedWalk::finished, &loop, &QEventLoop::quit);
    if (walk.startTree(tree))
        loop.exec();
    return search.found();
}

double findOnce(const QString& tree) {
    const QByteArray command = "find -H '" + QFile::encodeName(tree) +
                               "' -type f -newermt 1980-01-01 ! -newermt 2100-12-31 "
                               "-printf '%p\\n' > /dev/null";
    QElapsedTimer t;
    t.start();
    if (std::system(command.constData()) != 0)
        return -1;
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--once")) {
        const qint64 before = statusKiB("VmRSS:");
        const int found = searchOnce(args[2]);
        std::printf("%lld %lld %d\n", before, statusKiB("VmHWM:"), found);
        return 0;
    }
    const QString tree = args.size() > 1 ? args[1] : defaultTree();
    if (!ensureTree(tree) || findOnce(tree) < 0) {
        std::fprintf(stderr, "bench dates: cannot make or read the tree in %s\n", qPrintable(tree));
        return 1;
    }
    searchOnce(tree);
    std::vector<double> ours, theirs;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        searchOnce(tree);
        ours.push_back(double(t.nsecsElapsed()) / 1e9);
        theirs.push_back(findOnce(tree));
        std::printf("  dates round %d: search %.3f s, find %.3f s\n", round + 1, ours.back(),
                    theirs.back());
    }
    QProcess child;
    child.start(app.applicationFilePath(), {QStringLiteral("--once"), tree});
    child.waitForFinished(-1);
    const QList<QByteArray> mem = child.readAllStandardOutput().trimmed().split(' ');
    const qint64 before = mem.value(0).toLongLong(), peak = mem.value(1).toLongLong();
    const qint64 found = mem.value(2).toLongLong();
    std::printf("bench dates: ratio %.2f, bytes per file %.0f, files %lld\n",
                median(ours) / median(theirs),
                found > 0 ? double(peak - before) * 1024.0 / double(found) : 0.0, found);
    return 0;
}
