#include "browse/viewedfile.h"

#include "browse/linebreaker.h"
#include "platform/filemapping.h"

#include <QFileInfo>
#include <cstring>

namespace browse {

namespace {

// One guarded copy out of the mapping; nothing here owns anything (the guard may jump out).
struct Copy {
    const uchar* from;
    char* to;
    size_t length;
};

void copyBytes(void* context) {
    auto* copy = static_cast<Copy*>(context);
    std::memcpy(copy->to, copy->from, copy->length);
}

constexpr qint64 kSearchChunk = 1 << 20;

} // namespace

ViewedFile::ViewedFile() = default;

ViewedFile::~ViewedFile() = default;

Result<> ViewedFile::open(const QString& path) {
    close();
    // Only regular files: opening a FIFO would wait for a writer, a device may never end.
    if (!QFileInfo(path).isFile())
        return Failure{QStringLiteral("Not a regular file")};
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return Failure{m_file.errorString()};
    m_path = path;
    m_open = true;
    if (m_file.size() == 0)
        return Result<>::done();
    // The platform's mapping raises its error; it ends here, as the failure of the open.
    try {
        m_mapping = std::make_unique<platform::TFileMapping>(&m_file);
    } catch (const platform::EFileMappingError& e) {
        close();
        return Failure{QString::fromUtf8(e.what())};
    }
    m_size = m_mapping->size();
    return Result<>::done();
}

void ViewedFile::close() {
    m_mapping.reset();
    m_file.close();
    m_size = 0;
    m_open = false;
    m_path.clear();
}

bool ViewedFile::readInto(qint64 offset, qint64 length, char* out) const {
    if (offset < 0 || length <= 0 || offset >= m_size || !m_mapping)
        return length <= 0;
    length = std::min(length, m_size - offset);
    Copy copy{m_mapping->view() + offset, out, size_t(length)};
    // A page that can no longer be read (the file was shortened) ends here as a failed read.
    try {
        m_mapping->guardedRead(copyBytes, &copy);
    } catch (const platform::EFileMappingError&) {
        return false;
    }
    return true;
}

QByteArray ViewedFile::read(qint64 offset, qint64 length) const {
    if (offset < 0 || offset >= m_size || length <= 0)
        return QByteArray();
    length = std::min(length, m_size - offset);
    QByteArray bytes(qsizetype(length), Qt::Uninitialized);
    if (!readInto(offset, length, bytes.data()))
        return QByteArray();
    return bytes;
}

qint64 ViewedFile::newlineBefore(qint64 start) const {
    const qint64 from = std::max<qint64>(0, start - kLongLine);
    const QByteArray window = read(from, start - from);
    const int at = window.lastIndexOf('\n');
    if (at >= 0)
        return from + at;
    return from - 1;
}

qint64 ViewedFile::lineStartAt(qint64 offset) const {
    if (offset <= 0 || m_size == 0)
        return 0;
    offset = std::min(offset, m_size - 1);
    // The line starts after the last "\n" before the offset, or at the last multiple of
    // kLongLine that lies kLongLine or more beyond that "\n".
    const qint64 from = std::max<qint64>(0, offset - 2 * kLongLine);
    const QByteArray window = read(from, offset - from);
    const int at = window.lastIndexOf('\n');
    const qint64 afterNewline = at >= 0 ? from + at + 1 : (from == 0 ? 0 : from - 1);
    const qint64 multiple = offset / kLongLine * kLongLine;
    if (multiple > 0 && multiple >= afterNewline + kLongLine)
        return multiple;
    return std::max<qint64>(afterNewline, 0);
}

qint64 ViewedFile::nextLineStart(qint64 start) const {
    if (start >= m_size)
        return m_size;
    LineBreaker breaker(m_size, start, newlineBefore(start));
    const QByteArray piece = read(start, 2 * kLongLine);
    if (piece.isEmpty())
        return m_size;
    qint64 next = -1;
    breaker.feed(piece.constData(), piece.size(), [&next](qint64 at) {
        next = at;
        return false;
    });
    return next >= 0 ? next : std::min(m_size, start + piece.size());
}

qint64 ViewedFile::previousLineStart(qint64 start) const {
    if (start <= 0)
        return -1;
    return lineStartAt(start - 1);
}

QByteArray ViewedFile::lineBytes(qint64 start) const {
    const qint64 end = nextLineStart(start);
    QByteArray bytes = read(start, end - start);
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    return bytes;
}

qint64 ViewedFile::lastPageStart(int rows) const {
    if (m_size == 0)
        return 0;
    qint64 start = lineStartAt(m_size - 1);
    for (int i = 1; i < rows; ++i) {
        const qint64 before = previousLineStart(start);
        if (before < 0)
            break;
        start = before;
    }
    return start;
}

qint64 ViewedFile::find(const QByteArray& text, qint64 from, bool backward, bool matchCase) const {
    if (text.isEmpty() || m_size == 0)
        return -1;
    const QByteArray needle = matchCase ? text : text.toLower();
    const qint64 overlap = needle.size() - 1;
    if (!backward) {
        for (qint64 at = std::max<qint64>(0, from); at < m_size; at += kSearchChunk) {
            QByteArray chunk = read(at, kSearchChunk + overlap);
            if (chunk.isEmpty())
                return -1;
            if (!matchCase)
                chunk = std::move(chunk).toLower();
            const qsizetype hit = chunk.indexOf(needle);
            if (hit >= 0 && hit < kSearchChunk)
                return at + hit;
        }
        return -1;
    }
    // Matches that start before `from`.
    qint64 end = std::min(from, m_size);
    while (end > 0) {
        const qint64 at = std::max<qint64>(0, end - kSearchChunk);
        QByteArray chunk = read(at, end - at + overlap);
        if (chunk.isEmpty())
            return -1;
        if (!matchCase)
            chunk = std::move(chunk).toLower();
        const qsizetype hit = chunk.lastIndexOf(needle, qsizetype(end - at - 1));
        if (hit >= 0)
            return at + hit;
        end = at;
    }
    return -1;
}

} // namespace browse
