#pragma once

#include <QtGlobal>
#include <algorithm>
#include <cstring>

// Where the lines of a file start when it is shown as text.
//
// A line ends after each "\n".  So that no line grows without bound (a binary file may hold no
// "\n" at all), a line also ends at every multiple of kLongLine bytes from the start of the file
// whose kLongLine bytes before it hold no "\n".  Every line is then shorter than 2 * kLongLine
// bytes, and where a line starts depends only on the 2 * kLongLine bytes before a position: the
// start of the line holding any byte is found without reading the file from its beginning.
namespace browse {

constexpr qint64 kLongLine = 4096;

// Finds the line starts of a stretch of the file, fed in pieces from a known line start on.
class LineBreaker {
public:
    // start: a line start; lastNewline: the offset of the last "\n" before it, or any offset
    // at least kLongLine bytes before it when there is none that near (-1 at the file's start).
    LineBreaker(qint64 fileSize, qint64 start, qint64 lastNewline)
        : m_size(fileSize), m_position(start), m_lineStart(start), m_lastNewline(lastNewline) {}

    // The offset the next piece must begin at.
    qint64 position() const { return m_position; }
    // The offset of the last "\n" passed (as given at the start until one is passed).
    qint64 lastNewline() const { return m_lastNewline; }

    // Takes the bytes at position() .. position() + length and calls onStart(offset) for every
    // line start after the first one (offsets below the file size only).  onStart returns false
    // to stop at once; feed then returns false.
    template <typename OnStart> bool feed(const char* data, qint64 length, OnStart&& onStart) {
        const qint64 base = m_position;
        const qint64 end = base + length;
        while (m_position < end) {
            const qint64 forced = roundUp(std::max(m_lineStart + 1, m_lastNewline + 1 + kLongLine));
            const qint64 limit = std::min(end, forced);
            const void* hit =
                std::memchr(data + (m_position - base), '\n', size_t(limit - m_position));
            if (hit) {
                m_lastNewline = base + (static_cast<const char*>(hit) - data);
                m_position = m_lastNewline + 1;
                if (m_position < m_size) {
                    m_lineStart = m_position;
                    if (!onStart(m_position))
                        return false;
                }
                continue;
            }
            m_position = limit;
            if (limit == forced && forced < m_size) {
                m_lineStart = forced;
                if (!onStart(forced))
                    return false;
            }
        }
        return true;
    }

private:
    static qint64 roundUp(qint64 offset) {
        return (offset + kLongLine - 1) / kLongLine * kLongLine;
    }

    qint64 m_size;
    qint64 m_position;
    qint64 m_lineStart;
    qint64 m_lastNewline;
};

} // namespace browse
