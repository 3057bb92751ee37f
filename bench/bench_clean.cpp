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
#include <QStringList>
#include <cstdio>

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
    return commandSeconds(command + " \\) > /dev/null");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--once"))
        return reportMemory([&args] { return qint64(searchOnce(args[2]).rows); });

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
    const Rounds rounds = timeRounds(
        kRounds, "clean", "find",
        [&] {
            if (searchOnce(tree).rows != warm.rows)
                std::printf("  (the tree changed during the run)\n");
        },
        [&tree] { return findOnce(tree); });
    const Memory memory =
        memoryInChild(app.applicationFilePath(), {QStringLiteral("--once"), tree});
    std::printf("clean: search median %.3f s, find median %.3f s; %d files found; "
                "resident %.1f MiB before, peak %.1f MiB (%.0f bytes per file found)\n",
                median(rounds.ours), median(rounds.theirs), warm.rows, memory.before / 1024.0,
                memory.peak / 1024.0, memory.bytesPerFound());
    std::printf("bench clean: ratio %.2f, files %d\n", rounds.ratio(), warm.rows);
    return 0;
}
