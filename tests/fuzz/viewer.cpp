// The viewer over any bytes: where lines start (against a plain model, fed in pieces of sizes
// the input chooses), the characters a line shows as, the hexadecimal dump and the strings.

#include "browse/linebreaker.h"
#include "browse/strings.h"
#include "browse/viewtext.h"
#include "fuzzsupport.h"

#include <algorithm>
#include <vector>

namespace {

// Line starts after the first: after every "\n", and at every multiple of kLongLine whose
// kLongLine bytes before hold no "\n"; offsets below the size only.
std::vector<qint64> modelLineStarts(const QByteArray& bytes) {
    std::vector<qint64> starts;
    qint64 lastNewline = -1;
    for (qint64 p = 1; p < bytes.size(); ++p) {
        if (bytes[p - 1] == '\n')
            lastNewline = p - 1;
        if (lastNewline == p - 1 ||
            (p % browse::kLongLine == 0 && p - lastNewline > browse::kLongLine))
            starts.push_back(p);
    }
    return starts;
}

void checkLineStarts(const QByteArray& bytes, quint8 piece) {
    const std::vector<qint64> expected = modelLineStarts(bytes);
    browse::LineBreaker breaker(bytes.size(), 0, -1);
    std::vector<qint64> found;
    while (breaker.position() < bytes.size()) {
        const qint64 length = qMin<qint64>(1 + piece * 37, bytes.size() - breaker.position());
        breaker.feed(bytes.constData() + breaker.position(), length, [&found](qint64 start) {
            found.push_back(start);
            return true;
        });
    }
    fuzz::expect(found == expected, "line starts differ from the model");

    // From any line start on, the rest of the starts are the same.
    if (!expected.empty()) {
        const qint64 from = expected[piece % expected.size()];
        qint64 lastNewline = -1;
        for (qint64 p = from - 1; p >= 0 && lastNewline < 0; --p)
            lastNewline = bytes[p] == '\n' ? p : -1;
        browse::LineBreaker resumed(bytes.size(), from, lastNewline);
        std::vector<qint64> rest;
        resumed.feed(bytes.constData() + from, bytes.size() - from, [&rest](qint64 start) {
            rest.push_back(start);
            return true;
        });
        const std::vector<qint64> tail(std::upper_bound(expected.begin(), expected.end(), from),
                                       expected.end());
        fuzz::expect(rest == tail, "resumed line starts differ");
    }
}

void checkShownLine(const QByteArray& bytes, quint8 choice) {
    const int tabSize = 1 + choice % 16;
    const int maxColumns = choice % 3 == 0 ? 40 : 8192;
    const browse::ShownLine shown = browse::showTextLine(bytes, choice & 1, tabSize, maxColumns);
    fuzz::expect(shown.columnOfByte.size() == bytes.size() + 1, "a column per byte");
    fuzz::expect(shown.text.size() <= maxColumns, "too many characters");
    for (qsizetype i = 1; i < shown.columnOfByte.size(); ++i)
        fuzz::expect(shown.columnOfByte[i - 1] <= shown.columnOfByte[i], "columns not rising");
    shown.byteAtColumn(choice);
}

void checkStrings(const QByteArray& bytes) {
    browse::StringExtractor extractor;
    QList<QByteArray> lines;
    for (qsizetype at = 0; at < bytes.size(); at += browse::kStringsBlock)
        extractor.scanBlock(bytes.constData() + at,
                            qMin<qsizetype>(browse::kStringsBlock, bytes.size() - at), &lines);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        fuzz::expect(lines[i].size() >= 6 && lines[i].size() <= 101, "a string's length");
        for (const char c : lines[i])
            fuzz::expect((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                             (c >= '0' && c <= '9') || c == ' ',
                         "a string's character");
        fuzz::expect(i == 0 || lines[i] != lines[i - 1], "a string written twice");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const quint8 choice = size > 0 ? data[0] : 0;
    checkLineStarts(bytes, choice);
    checkShownLine(bytes.left(2 * browse::kLongLine), choice);
    for (qsizetype at = 0; at < bytes.size(); at += browse::kHexBytesPerLine) {
        const QString line = browse::hexLine(at, bytes.mid(at, browse::kHexBytesPerLine));
        fuzz::expect(line.size() <= browse::hexTextColumn() + browse::kHexBytesPerLine,
                     "a hex line too long");
    }
    checkStrings(bytes);
    return 0;
}
