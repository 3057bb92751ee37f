#include "browse/linebreaker.h"
#include "browse/lineindex.h"
#include "browse/viewedfile.h"
#include "support/entrybuilders.h"
#include "support/sandbox.h"

#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

using browse::kLongLine;

namespace {

// The line starts by their definition, byte by byte: 0, after every "\n", and at every multiple
// of kLongLine whose kLongLine bytes before it hold no "\n".
std::vector<qint64> modelStarts(const QByteArray& bytes) {
    std::vector<qint64> starts;
    if (bytes.isEmpty())
        return starts;
    qint64 lastNewline = -1;
    starts.push_back(0);
    for (qint64 p = 1; p < bytes.size(); ++p) {
        if (bytes[p - 1] == '\n')
            lastNewline = p - 1;
        if (bytes[p - 1] == '\n' || (p % kLongLine == 0 && lastNewline < p - kLongLine))
            starts.push_back(p);
    }
    return starts;
}

// Text with short lines, "\r\n" endings, empty lines and stretches without any "\n".
QByteArray mixedText(quint32 seed, int size) {
    QRandomGenerator random(seed);
    QByteArray bytes;
    while (bytes.size() < size) {
        const int kind = random.bounded(10);
        const int length = kind == 0   ? random.bounded(3 * int(kLongLine), 6 * int(kLongLine))
                           : kind == 1 ? 0
                                       : random.bounded(1, 120);
        for (int i = 0; i < length; ++i)
            bytes.append(char('a' + random.bounded(26)));
        bytes.append(kind == 2 ? "\r\n" : "\n");
    }
    bytes.truncate(size);
    return bytes;
}

void countAll(browse::LineIndex& index, const QString& path, qint64 size) {
    QEventLoop loop;
    QObject::connect(&index, &browse::LineIndex::countFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    index.start(path, size);
    if (!index.finished())
        loop.exec();
}

} // namespace

// Every way of finding lines agrees with the definition: the background count, the lines by
// number and number by offset, and the start of the line around any offset, forward and back.
TEST(ViewedLines, AgreeWithTheDefinition) {
    SandboxWorld world;
    const QList<QByteArray> files = {
        mixedText(1, 40000),
        mixedText(2, 3 * browse::LineIndex::kCheckpointLines * 20),
        QByteArray(5 * int(kLongLine) + 7, 'x'), // no "\n" at all
        QByteArray("\n\n\n"),                    // empty lines only
        QByteArray("one line"),                  // without its "\n"
        QByteArray(int(kLongLine) - 1, 'y') + "\n" + QByteArray(int(kLongLine) * 2, 'z'),
    };
    for (int f = 0; f < files.size(); ++f) {
        const QByteArray& bytes = files[f];
        SCOPED_TRACE(f);
        const QString path = world.makeFile(QStringLiteral("c/file%1.txt").arg(f), bytes);
        const std::vector<qint64> starts = modelStarts(bytes);

        browse::ViewedFile file;
        ASSERT_TRUE(file.open(path));
        browse::LineIndex index;
        countAll(index, path, file.size());
        ASSERT_TRUE(index.finished());
        EXPECT_EQ(index.lineCount(), qint64(starts.size()));

        for (size_t n = 0; n < starts.size(); ++n) {
            ASSERT_EQ(index.lineStartOf(file, qint64(n)), starts[n]) << n;
            const qint64 next = n + 1 < starts.size() ? starts[n + 1] : bytes.size();
            ASSERT_EQ(file.nextLineStart(starts[n]), next) << n;
            ASSERT_EQ(file.previousLineStart(starts[n]), n == 0 ? -1 : starts[n - 1]) << n;
        }
        EXPECT_EQ(index.lineStartOf(file, qint64(starts.size())), -1);
        size_t line = 0;
        for (qint64 p = 0; p < bytes.size(); p += (p % 97 == 0 ? 1 : 13)) {
            while (line + 1 < starts.size() && starts[line + 1] <= p)
                ++line;
            ASSERT_EQ(file.lineStartAt(p), starts[line]) << p;
            ASSERT_EQ(index.lineNumberOf(file, p), qint64(line)) << p;
        }
        const int rows = 5;
        const size_t first = starts.size() > rows ? starts.size() - rows : 0;
        EXPECT_EQ(file.lastPageStart(rows), starts.empty() ? 0 : starts[first]);
    }
}

TEST(ViewedLines, LineBytesDropTheLineEnd) {
    SandboxWorld world;
    browse::ViewedFile file;
    ASSERT_TRUE(file.open(world.makeFile("c/a.txt", "first\r\nsecond\nthird")));
    EXPECT_EQ(file.lineBytes(0), "first");
    EXPECT_EQ(file.lineBytes(7), "second");
    EXPECT_EQ(file.lineBytes(14), "third");

    browse::ViewedFile empty;
    ASSERT_TRUE(empty.open(world.makeFile("c/empty.txt")));
    EXPECT_EQ(empty.size(), 0);
    EXPECT_EQ(empty.lastPageStart(10), 0);
    EXPECT_TRUE(empty.read(0, 10).isEmpty());

    const Result<> missing = file.open(world.path("c/missing.txt"));
    EXPECT_FALSE(missing);
    EXPECT_FALSE(missing.message().isEmpty());
    EXPECT_FALSE(file.isOpen());
    // A FIFO is refused at once rather than waited on.
    ASSERT_TRUE(scantest::makeFifo(world.path("c/fifo")));
    const Result<> fifo = file.open(world.path("c/fifo"));
    EXPECT_FALSE(fifo);
    EXPECT_EQ(fifo.message(), "Not a regular file");
}

// The search against QByteArray's, across the 1 MiB pieces it reads, in both directions, with
// and without letter case.
TEST(ViewedLines, FindAgreesWithAPlainSearch) {
    SandboxWorld world;
    QByteArray bytes(3 << 20, '.');
    const qint64 places[] = {5, (1 << 20) - 3, (1 << 20) + 100, (2 << 20) - 1, (3 << 20) - 6};
    for (qint64 at : places)
        bytes.replace(at, 6, "NeEdLe");
    browse::ViewedFile file;
    ASSERT_TRUE(file.open(world.makeFile("c/big.dat", bytes)));
    const QByteArray lower = bytes.toLower();
    for (qint64 from : {qint64(0), qint64(6), qint64(1 << 20), qint64((3 << 20) - 5)}) {
        EXPECT_EQ(file.find("NeEdLe", from, false, true), bytes.indexOf("NeEdLe", from)) << from;
        EXPECT_EQ(file.find("needle", from, false, false), lower.indexOf("needle", from)) << from;
        EXPECT_EQ(file.find("needle", from, false, true), -1);
        EXPECT_EQ(file.find("NEEDLE", from, true, false),
                  from == 0 ? -1 : lower.lastIndexOf("needle", from - 1))
            << from;
    }
    EXPECT_EQ(file.find("NeEdLe", bytes.size(), true, true), places[4]);
}

// A file shortened while it is mapped reads as missing bytes, never as a fault.
TEST(ViewedLines, ShortenedFileReadsAsMissing) {
    SandboxWorld world;
    const QString path = world.makeFile("c/shrinks.txt", mixedText(3, 1 << 20));
    browse::ViewedFile file;
    ASSERT_TRUE(file.open(path));
    ASSERT_TRUE(QFile::resize(path, 100));
    EXPECT_TRUE(file.read(file.size() - 10, 10).isEmpty());
    EXPECT_FALSE(file.read(0, 10).isEmpty());
    EXPECT_TRUE(file.lineBytes(file.lineStartAt(file.size() - 1)).isEmpty());
    EXPECT_EQ(file.find("zzzzzzzzzzzzzzzzzzzzzzzzzzzzzz", 0, false, true), -1);
    browse::LineIndex index;
    countAll(index, path, file.size());
    EXPECT_TRUE(index.finished());
}
