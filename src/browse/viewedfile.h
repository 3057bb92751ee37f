#pragma once

#include "app/result.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

namespace platform {
class TFileMapping;
}

// A file opened for viewing: mapped read-only into memory, read in small pieces where it is
// shown, whatever its size.  Nothing here reads the whole file.
//
// Every read copies bytes out of the mapping under its guard: when another program shortens
// the file while it is shown, the bytes past the new end read as missing (an empty or shorter
// result) instead of ending the program.
namespace browse {

class ViewedFile {
public:
    ViewedFile();
    ~ViewedFile();
    ViewedFile(const ViewedFile&) = delete;
    ViewedFile& operator=(const ViewedFile&) = delete;

    // Opens and maps the file.  An empty file opens with no bytes.  Fails with the reason when
    // the path names no regular file or the file cannot be opened or mapped; the file is then
    // closed.
    Result<> open(const QString& path);
    void close();
    bool isOpen() const { return m_open; }
    const QString& path() const { return m_path; }
    // The size when it was opened.
    qint64 size() const { return m_size; }

    // Copies the bytes at offset .. offset + length (cut at the end of the file) to out; false
    // when they cannot be read (the file was shortened meanwhile).
    bool readInto(qint64 offset, qint64 length, char* out) const;
    // The bytes at offset .. offset + length, cut at the end of the file; empty when they cannot
    // be read.
    QByteArray read(qint64 offset, qint64 length) const;

    // Text lines (browse/linebreaker.h).  Offsets below size(); a line start is 0 or an offset
    // the rule makes one.
    qint64 lineStartAt(qint64 offset) const;
    // The start of the line after the one at start; size() after the last line.
    qint64 nextLineStart(qint64 start) const;
    // The start of the line before the one at start; -1 before the first line.
    qint64 previousLineStart(qint64 start) const;
    // The line's bytes without its "\n" (or "\r\n").
    QByteArray lineBytes(qint64 start) const;
    // The first of the last `rows` lines (0 when the file has no more lines).
    qint64 lastPageStart(int rows) const;
    // The offset of the last "\n" before the line start, or an offset kLongLine bytes or more
    // before it when there is none that near: what a LineBreaker starting there needs.
    qint64 newlineBefore(qint64 start) const;

    // The first place at or after `from` (backward: the last place before `from`) where the
    // bytes of text occur; letter case of A-Z is ignored unless matchCase.  -1 when there is
    // none.
    qint64 find(const QByteArray& text, qint64 from, bool backward, bool matchCase) const;

private:
    QString m_path;
    QFile m_file;
    std::unique_ptr<platform::TFileMapping> m_mapping;
    qint64 m_size = 0;
    bool m_open = false;
};

} // namespace browse
