// Quick clean against the find a user would type instead, on the tree of 500,000 files of
// benchkit.h (every seventh file ends in ".tmp").
//
// The search runs exactly as the window runs it, without the window: the four built-in
// patterns selected ("*.tmp", "*.fts", "*.bak", "*.$$$"), the walk in steps from the event loop
// with its status callback and its read-ahead threads, the extension test as the walk's pattern,
// the found files, then the grid, largest first.  The command, output to /dev/null:
//
//   find -H TREE -type f ( -name '*.tmp' -o -name '*.fts' -o -name '*.bak' -o -name '*.$$$' )
//
// After one warm-up run of each, search and find run three times in turn; the ratio is the
// median search time over the median find time.  Memory: the search runs once more in a fresh
// child process, which reports its resident size before the search and its peak resident size
// (VmHWM) after it, so that what it keeps can be set against the files found.
//
// Usage: bench_clean [TREE]           (default: the data folder of the build)
//        bench_clean --once TREE      (the child's part)

#include "benchkit.h"
#include "clean/quickclean.h"
#include "clean/temppatterns.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace benchkit;

constexpr int kRounds = 3;

const char* const kPatterns[] = {"*.tmp", "*.fts", "*.bak", "*.$$$"};

struct SearchResult {
    int rows = 0; // rows of the grid: the files found
};

SearchResult searchOnce(const QString& tree) {
    QStringList items;
    for (const char* pattern : kPatterns)
        items << tempfiles::itemOf(QString::fromLatin1(pattern));
    quickclean::Search search(items);
    QString status;
    search.walker().callbacks().progress = [&status](const QString& folder) { status = folder; };
    walkInSteps(search.walker(), tree); // as the window runs it
    SearchResult r;
    TextGrid grid;
    dups::SortDirections directions;
    r.rows = search.fillGrid(grid, directions);
    return r;
}

double findOnce(const QString& tree) {
    QByteArray command = "find -H '" + QFile::encodeName(tree) + "' -type f \\(";
    for (int i = 0; i < int(std::size(kPatterns)); ++i)
        command += QByteArray(i ? " -o" : "") + " -name '" + kPatterns[i] + "'";
    command += " \\) > /dev/null";
    QElapsedTimer t;
    t.start();
    if (std::system(command.constData()) != 0)
        return -1;
    return double(t.nsecsElapsed()) / 1e9;
}

// The child's part: resident size before, peak after (KiB), files found.
int searchOnceForMemory(const QString& tree) {
    const qint64 before = statusKiB("VmRSS:");
    const SearchResult r = searchOnce(tree);
    const qint64 peak = statusKiB("VmHWM:");
    std::printf("%lld %lld %d\n", before, peak, r.rows);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--once"))
        return searchOnceForMemory(args[2]);

    const QString tree = args.size() > 1 ? args[1] : defaultTree();
    if (!ensureTree(tree)) {
        std::fprintf(stderr, "bench clean: cannot make the tree in %s\n", qPrintable(tree));
        return 1;
    }
    if (findOnce(tree) < 0) {
        std::fprintf(stderr, "bench clean: find failed\n");
        return 1;
    }
    const SearchResult warm = searchOnce(tree);
    std::vector<double> ours, theirs;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer t;
        t.start();
        const SearchResult r = searchOnce(tree);
        ours.push_back(double(t.nsecsElapsed()) / 1e9);
        if (r.rows != warm.rows)
            std::printf("  (the tree changed during the run)\n");
        theirs.push_back(findOnce(tree));
        std::printf("  clean round %d: search %.3f s, find %.3f s\n", round + 1, ours.back(),
                    theirs.back());
    }

    QProcess child;
    child.start(app.applicationFilePath(), {QStringLiteral("--once"), tree});
    child.waitForFinished(-1);
    const QList<QByteArray> mem = child.readAllStandardOutput().trimmed().split(' ');
    const qint64 before = mem.value(0).toLongLong();
    const qint64 peak = mem.value(1).toLongLong();
    const qint64 found = mem.value(2).toLongLong();
    std::printf("clean: search median %.3f s, find median %.3f s; %d files found; "
                "resident %.1f MiB before, peak %.1f MiB (%.0f bytes per file found)\n",
                median(ours), median(theirs), warm.rows, before / 1024.0, peak / 1024.0,
                found > 0 ? double(peak - before) * 1024.0 / double(found) : 0.0);
    std::printf("bench clean: ratio %.2f, files %d\n", median(ours) / median(theirs), warm.rows);
    return 0;
}
