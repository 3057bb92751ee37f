#include "browse/lineindex.h"

#include "browse/linebreaker.h"
#include "browse/viewedfile.h"

#include <QFile>
#include <QMutexLocker>
#include <algorithm>

namespace browse {

namespace {
constexpr qint64 kReadBlock = 1 << 20;
constexpr qint64 kLookupBlock = 64 * 1024;
} // namespace

LineIndex::LineIndex(QObject* parent) : QObject(parent) {}

LineIndex::~LineIndex() {
    stop();
}

void LineIndex::start(const QString& path, qint64 size) {
    stop();
    {
        QMutexLocker lock(&m_mutex);
        m_checkpoints.clear();
        m_lines = 0;
    }
    m_counted = 0;
    m_finished = false;
    m_stop = false;
    if (size <= 0) {
        m_finished = true;
        emit countFinished();
        return;
    }
    m_thread = std::thread(&LineIndex::count, this, path, size);
}

void LineIndex::stop() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void LineIndex::waitForFinished() {
    if (m_thread.joinable())
        m_thread.join();
}

qint64 LineIndex::lineCount() const {
    if (!m_finished)
        return -1;
    QMutexLocker lock(&m_mutex);
    return m_lines;
}

void LineIndex::count(QString path, qint64 size) {
    QFile file(path);
    qint64 lines = 1;
    {
        QMutexLocker lock(&m_mutex);
        m_checkpoints.append({0, -1});
    }
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray block(qsizetype(kReadBlock), Qt::Uninitialized);
        LineBreaker breaker(size, 0, -1);
        QVector<Checkpoint> pending;
        while (!m_stop && breaker.position() < size) {
            const qint64 got =
                file.read(block.data(), std::min(kReadBlock, size - breaker.position()));
            if (got <= 0)
                break;
            breaker.feed(block.constData(), got, [&](qint64 at) {
                if (lines % kCheckpointLines == 0)
                    pending.append({at, breaker.lastNewline()});
                ++lines;
                return true;
            });
            QMutexLocker lock(&m_mutex);
            m_checkpoints += pending;
            pending.clear();
            m_lines = lines;
            m_counted = breaker.position();
        }
    }
    if (m_stop)
        return;
    {
        QMutexLocker lock(&m_mutex);
        m_lines = lines;
    }
    m_finished = true;
    QMetaObject::invokeMethod(this, &LineIndex::countFinished, Qt::QueuedConnection);
}

LineIndex::Checkpoint LineIndex::checkpoint(qint64 index) const {
    QMutexLocker lock(&m_mutex);
    return m_checkpoints.at(index);
}

qint64 LineIndex::checkpointCount() const {
    QMutexLocker lock(&m_mutex);
    return m_checkpoints.size();
}

qint64 LineIndex::lineNumberOf(const ViewedFile& file, qint64 offset) const {
    if (offset < 0 || (!m_finished && offset >= m_counted))
        return -1;
    qint64 index = 0;
    {
        QMutexLocker lock(&m_mutex);
        if (m_checkpoints.isEmpty())
            return -1;
        const auto it =
            std::upper_bound(m_checkpoints.cbegin(), m_checkpoints.cend(), offset,
                             [](qint64 value, const Checkpoint& c) { return value < c.offset; });
        index = (it - m_checkpoints.cbegin()) - 1;
    }
    const Checkpoint from = checkpoint(index);
    qint64 line = index * kCheckpointLines;
    LineBreaker breaker(file.size(), from.offset, from.lastNewline);
    bool more = true;
    while (more && breaker.position() <= offset && breaker.position() < file.size()) {
        const QByteArray piece = file.read(breaker.position(), kLookupBlock);
        if (piece.isEmpty())
            break;
        more = breaker.feed(piece.constData(), piece.size(), [&](qint64 at) {
            if (at > offset)
                return false;
            ++line;
            return true;
        });
    }
    return line;
}

qint64 LineIndex::lineStartOf(const ViewedFile& file, qint64 n) const {
    if (n < 0)
        return -1;
    const qint64 index = n / kCheckpointLines;
    if (index >= checkpointCount())
        return -1;
    const Checkpoint from = checkpoint(index);
    qint64 left = n % kCheckpointLines;
    if (left == 0)
        return from.offset;
    qint64 found = -1;
    LineBreaker breaker(file.size(), from.offset, from.lastNewline);
    while (found < 0 && breaker.position() < file.size()) {
        const QByteArray piece = file.read(breaker.position(), kLookupBlock);
        if (piece.isEmpty())
            break;
        breaker.feed(piece.constData(), piece.size(), [&](qint64 at) {
            if (--left > 0)
                return true;
            found = at;
            return false;
        });
    }
    return found;
}

} // namespace browse
