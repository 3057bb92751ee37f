// The file viewer on a text file of 1 GiB: how long it takes to open and show the first page,
// how long to jump to the last page, and how much memory that costs, run headless through the
// pieces the viewer control uses (the mapped file, the background line count, the text lines
// of the rows in view).
//
//   open ms           open and map the file, start the count, read and lay out the first page
//   scroll-to-end ms  find the last page and lay it out (the count is still running)
//   resident MiB      VmRSS over the program's size before the file was opened, the largest of
//                     the figures after the jump and after the count
//   file MiB          the file's size
//
// A second line gives the background count's time and the time to go to the last line by its
// number once the lines are counted.  The file is made once below the build's bench data folder;
// its pages are usually in the page cache when the figures are taken.
//
// Usage: bench_view [FILE]

#include "benchkit.h"
#include "browse/lineindex.h"
#include "browse/viewedfile.h"
#include "browse/viewtext.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

constexpr qint64 kFileSize = qint64(1) << 30;
constexpr int kRows = 50;

// A log of lines of varying length, made once.
bool ensureFile(const QString& path) {
    if (QFileInfo(path).size() == kFileSize)
        return true;
    std::printf("making a text file of 1 GiB in %s ...\n", qPrintable(path));
    std::fflush(stdout);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray block;
    qint64 written = 0;
    qint64 line = 0;
    while (written < kFileSize) {
        block.clear();
        while (block.size() < (4 << 20)) {
            block += "2026-12-09 06:";
            block += QByteArray::number(10 + line % 50);
            block += " INFO  [worker-" + QByteArray::number(line % 8) + "] request ";
            block += QByteArray::number(line) + " handled";
            block += QByteArray(int(line * 7919 % 60), '.');
            block += '\n';
            ++line;
        }
        const qint64 take = std::min<qint64>(block.size(), kFileSize - written);
        if (file.write(block.constData(), take) != take)
            return false;
        written += take;
    }
    return file.flush();
}

// Lays out the rows from `top` on as the viewer draws them; the number of characters shown.
qint64 layOut(const browse::ViewedFile& file, qint64 top) {
    qint64 characters = 0;
    for (int r = 0; r < kRows && top < file.size(); ++r) {
        characters += browse::showTextLine(file.lineBytes(top), true, 8).text.size();
        top = file.nextLineStart(top);
    }
    return characters;
}

double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : QStringLiteral(VASTEL_BENCH_DATA_DIR "/view-1GiB.txt");
    if (argc <= 1 && (!QFileInfo(path).dir().mkpath(".") || !ensureFile(path))) {
        std::fprintf(stderr, "bench_view: cannot make %s\n", qPrintable(path));
        return 1;
    }
    const qint64 baseKiB = benchkit::statusKiB("VmRSS:");

    QElapsedTimer t;
    t.start();
    browse::ViewedFile file;
    const Result<> opened = file.open(path);
    if (!opened) {
        std::fprintf(stderr, "bench_view: %s\n", qPrintable(opened.message()));
        return 1;
    }
    browse::LineIndex index;
    index.start(path, file.size());
    const qint64 firstPage = layOut(file, 0);
    const double openMs = ms(t);

    t.restart();
    const qint64 top = file.lastPageStart(kRows);
    const qint64 lastPage = layOut(file, top);
    const bool countedAlready = index.finished();
    const double endMs = ms(t);
    const qint64 afterJumpKiB = benchkit::statusKiB("VmRSS:");

    t.restart();
    index.waitForFinished();
    const double countMs = ms(t);
    const qint64 afterCountKiB = benchkit::statusKiB("VmRSS:");
    t.restart();
    const qint64 last = index.lineStartOf(file, index.lineCount() - 1);
    const double lastLineMs = ms(t);

    const double residentMiB = (std::max(afterJumpKiB, afterCountKiB) - baseKiB) / 1024.0;
    std::printf(
        "bench view: open ms %.1f, scroll-to-end ms %.1f, resident MiB %.1f, file MiB %lld\n",
        openMs, endMs, residentMiB, file.size() >> 20);
    std::printf(
        "  (count of %lld lines in the background: %.0f ms%s; last line by number: %.1f ms; "
        "%lld and %lld characters laid out; last line at %lld)\n",
        index.lineCount(), countMs + openMs + endMs,
        countedAlready ? ", finished before the jump" : "", lastLineMs, firstPage, lastPage, last);
    return last >= top ? 0 : 1;
}
