#include "browse/strings.h"

#include <QFile>
#include <QFileInfo>

namespace browse {

namespace {

constexpr int kMinimum = 5;
constexpr int kMaximum = 100;

bool belongsToRun(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ';
}

} // namespace

void StringExtractor::endRun(QList<QByteArray>* lines) {
    if (m_run.size() > kMinimum && !(m_anyWritten && m_run == m_lastWritten)) {
        lines->append(m_run);
        m_lastWritten = m_run;
        m_anyWritten = true;
    }
    m_run.clear();
}

void StringExtractor::scanBlock(const char* data, qsizetype length, QList<QByteArray>* lines) {
    m_run.clear();
    for (qsizetype i = 0; i < length; ++i) {
        const char c = data[i];
        if (!belongsToRun(c)) {
            endRun(lines);
            continue;
        }
        // A run longer than the longest line goes out in pieces.
        if (m_run.size() > kMaximum)
            endRun(lines);
        m_run.append(c);
    }
    m_run.clear();
}

Result<> extractStrings(const QString& source, const QString& target) {
    QFile in(source);
    // A FIFO or a device is no file to read to its end.
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly))
        return Failure{QStringLiteral("Could not open file ") + source};
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return Failure{QStringLiteral("Could not write file ") + target};
    StringExtractor extractor;
    QByteArray block(kStringsBlock, Qt::Uninitialized);
    QList<QByteArray> lines;
    qint64 got = 0;
    while ((got = in.read(block.data(), kStringsBlock)) > 0) {
        lines.clear();
        extractor.scanBlock(block.constData(), got, &lines);
        for (const QByteArray& line : lines) {
            if (out.write(line) != line.size() || !out.putChar('\n'))
                return Failure{QStringLiteral("Could not write file ") + target};
        }
    }
    if (!out.flush())
        return Failure{QStringLiteral("Could not write file ") + target};
    out.close();
    return Result<>::done();
}

} // namespace browse
