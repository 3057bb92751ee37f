// The duplicate and large-file searches against the shell pipelines a user would type instead,
// on the tree of 500,000 files of benchkit.h (the same 45 names in every folder, sizes 0 to 96
// bytes).
//
// Both searches run exactly as the window runs them, without the window: the walk in steps
// from the event loop, with its status callback and its read-ahead threads, the size filter
// ("larger or equal to 0 bytes", so every file is found), the found lines, then the grid:
//
//   dups  "Size only": sort, group, fill the grid;
//   hogs  fill the grid and sort it largest first.
//
// Pipelines, output to /dev/null:
//
//   dups  find TREE -type f -printf '%s\t%p\n' | sort -n | awk (lines whose size repeats)
//   hogs  find TREE -type f -printf '%s\t%p\n' | sort -rn
//
// After one warm-up run of each, search and pipeline run three times in turn; the ratio is
// the median search time over the median pipeline time.  Memory: each search runs once more in
// a fresh child process, which reports its resident size before the search and its peak
// resident size (VmHWM) after it; the difference over the number of files found is the memory
// per file.
//
// Usage: bench_dups [TREE]                 (default: the data folder of the build)
//        bench_dups --once dups|hogs TREE  (the child's part)

#include "benchkit.h"
#include "dup/dupsearch.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

using namespace benchkit;

constexpr int kRounds = 3;

enum class Kind { Dups, Hogs };

const char* kindName(Kind kind) {
    return kind == Kind::Dups ? "dups" : "hogs";
}

struct SearchResult {
    qint64 found = 0; // files that passed the filter
    int rows = 0;     // rows of the grid
};

SearchResult searchOnce(Kind kind, const QString& tree) {
    dups::SearchSettings settings;
    settings.mode = kind == Kind::Dups ? dups::Mode::Duplicates : dups::Mode::FileHogs;
    settings.criterion = dups::SizeOnly;
    settings.filter = {dups::SizeRule::LargerOrEqual, 0, 0};
    dups::Search search(settings);
    QString status;
    search.walker().callbacks().progress = [&status](const QString& folder) { status = folder; };
    walkInSteps(search.walker(), tree); // as the window runs it
    SearchResult r;
    r.found = search.found().count();
    TextGrid grid(dups::columnCount(settings.mode));
    grid.setHeader(dups::gridHeaders(settings.mode));
    dups::SortDirections directions;
    r.rows = search.fillGrid(grid, directions);
    return r;
}

QByteArray pipeline(Kind kind, const QString& tree) {
    const QByteArray find =
        "find -H '" + QFile::encodeName(tree) + "' -type f -printf '%s\\t%p\\n'";
    if (kind == Kind::Hogs)
        return find + " | sort -rn > /dev/null";
    return find + " | sort -n | awk -F '\\t' '$1 == p { if (!s) print l; print; s = 1; next } "
                  "{ p = $1; l = $0; s = 0 }' > /dev/null";
}

double pipelineOnce(Kind kind, const QString& tree) {
    return commandSeconds(pipeline(kind, tree));
}

struct Figures {
    double ratio = 0;
    double bytesPerFile = 0;
    qint64 files = 0;
};

Figures measure(Kind kind, const QString& tree, const QString& program) {
    const char* name = kindName(kind);
    if (pipelineOnce(kind, tree) < 0) {
        std::fprintf(stderr, "bench %s: the pipeline failed\n", name);
        std::exit(1);
    }
    const SearchResult warm = searchOnce(kind, tree);
    const Rounds rounds = timeRounds(
        kRounds, name, "pipeline",
        [&] {
            if (searchOnce(kind, tree).rows != warm.rows)
                std::printf("  (the tree changed during the run)\n");
        },
        [&] { return pipelineOnce(kind, tree); });
    const Memory memory =
        memoryInChild(program, {QStringLiteral("--once"), QString::fromLatin1(name), tree});

    Figures f;
    f.ratio = rounds.ratio();
    f.files = memory.found;
    f.bytesPerFile = memory.bytesPerFound();
    std::printf("%s: search median %.3f s, pipeline median %.3f s; %lld files found, %d rows; "
                "resident %.1f MiB before, peak %.1f MiB\n",
                name, median(rounds.ours), median(rounds.theirs), warm.found, warm.rows,
                memory.before / 1024.0, memory.peak / 1024.0);
    return f;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--once"))
        return reportMemory([&args] {
            return searchOnce(args[2] == QLatin1String("hogs") ? Kind::Hogs : Kind::Dups, args[3])
                .found;
        });

    const QString tree = args.size() > 1 ? args[1] : defaultTree();
    if (!ensureTree(tree)) {
        std::fprintf(stderr, "bench dups: cannot make the tree in %s\n", qPrintable(tree));
        return 1;
    }
    const Figures dups = measure(Kind::Dups, tree, app.applicationFilePath());
    const Figures hogs = measure(Kind::Hogs, tree, app.applicationFilePath());
    std::printf("bench dups: ratio %.2f, bytes per file %.0f, files %lld\n", dups.ratio,
                dups.bytesPerFile, dups.files);
    std::printf("bench hogs: ratio %.2f, bytes per file %.0f, files %lld\n", hogs.ratio,
                hogs.bytesPerFile, hogs.files);
    return 0;
}
