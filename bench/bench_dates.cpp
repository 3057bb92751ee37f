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
#include "search/filedates.h"

#include <QCoreApplication>
#include <cstdio>

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
    walkInSteps(search.walker(), tree); // as the window runs it
    return search.found();
}

double findOnce(const QString& tree) {
    return commandSeconds("find -H '" + QFile::encodeName(tree) +
                          "' -type f -newermt 1980-01-01 ! -newermt 2100-12-31 "
                          "-printf '%p\\n' > /dev/null");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--once"))
        return reportMemory([&args] { return qint64(searchOnce(args[2])); });
    const QString tree = args.size() > 1 ? args[1] : defaultTree();
    if (!ensureTree(tree) || findOnce(tree) < 0) {
        std::fprintf(stderr, "bench dates: cannot make or read the tree in %s\n", qPrintable(tree));
        return 1;
    }
    searchOnce(tree);
    const Rounds rounds = timeRounds(
        3, "dates", "find", [&tree] { searchOnce(tree); }, [&tree] { return findOnce(tree); });
    const Memory memory =
        memoryInChild(app.applicationFilePath(), {QStringLiteral("--once"), tree});
    std::printf("bench dates: ratio %.2f, bytes per file %.0f, files %lld\n", rounds.ratio(),
                memory.bytesPerFound(), memory.found);
    return 0;
}
