// The folder-hogs search ("All Folders": one row per folder) against du on the tree of 500,000
// files of benchkit.h.
//
// The search runs as the window runs it, without the window: the walk in steps from the event
// loop with its status callback and read-ahead threads, every entry counted, every folder made
// into a row, the rows put in copy order.  The command, which also prints every folder:
//
//   du -x TREE > /dev/null
//
// After a warm-up, search and command run three times in turn; the ratio is the median search
// time over the median command time.  Memory: the search runs once more in a fresh child
// process, which reports its resident size before and its peak (VmHWM) after; the difference
// over the folders listed is the memory per folder.
//
// Usage: bench_folderhogs [TREE]         (default: the data folder of the build)
//        bench_folderhogs --once TREE    (the child's part)

#include "benchkit.h"
#include "search/folderhogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace benchkit;

qsizetype searchOnce(const QString& tree) {
    folderhogs::Search search(folderhogs::Mode::AllFolders);
    QString status;
    search.walker().callbacks().progress = [&status](const QString& folder) { status = folder; };
    walkInSteps(search.walker(), tree);
    QStringList rows = search.takeRows();
    folderhogs::sortCopyOrder(rows);
    return rows.size();
}

double duOnce(const QString& tree) {
    const QByteArray command = "du -x '" + QFile::encodeName(tree) + "' > /dev/null";
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
        const qsizetype found = searchOnce(args[2]);
        std::printf("%lld %lld %lld\n", before, statusKiB("VmHWM:"), qint64(found));
        return 0;
    }
    const QString given = args.size() > 1 ? args[1] : defaultTree();
    if (!ensureTree(given) || duOnce(QFileInfo(given).canonicalFilePath()) < 0) {
        std::fprintf(stderr, "bench folderhogs: cannot make or read the tree in %s\n",
                     qPrintable(given));
        return 1;
    }
    // Both sides get the tree's real path, so that neither follows a link to it.
    const QString tree = QFileInfo(given).canonicalFilePath();
    searchOnce(tree);
    std::vector<double> ours, theirs;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        searchOnce(tree);
        ours.push_back(double(t.nsecsElapsed()) / 1e9);
        theirs.push_back(duOnce(tree));
        std::printf("  folderhogs round %d: search %.3f s, du %.3f s\n", round + 1, ours.back(),
                    theirs.back());
    }
    QProcess child;
    child.start(app.applicationFilePath(), {QStringLiteral("--once"), tree});
    child.waitForFinished(-1);
    const QList<QByteArray> mem = child.readAllStandardOutput().trimmed().split(' ');
    const qint64 before = mem.value(0).toLongLong(), peak = mem.value(1).toLongLong();
    const qint64 found = mem.value(2).toLongLong();
    std::printf("bench folderhogs: ratio %.2f, bytes per folder %.0f, folders %lld\n",
                median(ours) / median(theirs),
                found > 0 ? double(peak - before) * 1024.0 / double(found) : 0.0, found);
    return 0;
}
