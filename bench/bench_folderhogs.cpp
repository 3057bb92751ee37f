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
#include <QFileInfo>
#include <cstdio>

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
    return commandSeconds("du -x '" + QFile::encodeName(tree) + "' > /dev/null");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--once"))
        return reportMemory([&args] { return qint64(searchOnce(args[2])); });
    const QString given = args.size() > 1 ? args[1] : defaultTree();
    if (!ensureTree(given) || duOnce(QFileInfo(given).canonicalFilePath()) < 0) {
        std::fprintf(stderr, "bench folderhogs: cannot make or read the tree in %s\n",
                     qPrintable(given));
        return 1;
    }
    // Both sides get the tree's real path, so that neither follows a link to it.
    const QString tree = QFileInfo(given).canonicalFilePath();
    searchOnce(tree);
    const Rounds rounds = timeRounds(
        3, "folderhogs", "du", [&tree] { searchOnce(tree); }, [&tree] { return duOnce(tree); });
    const Memory memory =
        memoryInChild(app.applicationFilePath(), {QStringLiteral("--once"), tree});
    std::printf("bench folderhogs: ratio %.2f, bytes per folder %.0f, folders %lld\n",
                rounds.ratio(), memory.bytesPerFound(), memory.found);
    return 0;
}
