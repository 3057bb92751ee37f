#pragma once

#include "app/result.h"

#include <QFile>
#include <QtGlobal>
#include <functional>

// The CRC-32 (app/crc32.h) of a whole file, read through one read-only mapped view of it, so
// that no read buffer is needed and the file is read once.  Used by the pair comparison to tell
// whether two files have the same contents.
class TCRC32Calc {
public:
    // Large files are checksummed in blocks of this many bytes, with the progress function
    // called between two blocks; a block takes a few milliseconds from the cache and a few tens
    // from a slow disk, so a stop is noticed quickly.
    static constexpr qint64 kBlock = qint64(1) * 1024 * 1024;

    // Called between two blocks with the bytes checksummed so far and the file's size; false
    // stops the calculation.  Runs on the thread of calculate() and must not raise.
    using Progress = std::function<bool(qint64 done, qint64 size)>;

    TCRC32Calc() = default;
    TCRC32Calc(const TCRC32Calc&) = delete;
    TCRC32Calc& operator=(const TCRC32Calc&) = delete;

    // The checksum of the whole file of an open stream (offset 0 to its size, whatever the
    // stream's position), or why there is none:
    //   "CRC Calc is Busy"  when a calculation is running already (started from the progress
    //       function);
    //   the mapping's message (see platform/filemapping.h) when the file cannot be mapped or
    //       read: no stream, not open, empty, not a regular file, cut short while read;
    //   stoppedMessage()  when the progress function stopped it.
    // The calculator is free again afterwards, whatever the outcome.
    Result<quint32> calculate(QFile* stream);

    // The failure of a calculation the progress function stopped.
    static QString stoppedMessage();

    // True while calculate() runs.
    bool busy() const { return m_busy; }

    // What calculate() calls between two blocks of a large file; an empty function (the
    // default) is not called.
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // The bare register step of the checksum over count bytes; with no bytes (null, or a count
    // of 0) the register comes back unchanged.  See crc32::update.
    static quint32 checksumUpdate(quint32 reg, const void* bytes, qint64 count);

private:
    bool m_busy = false;
    Progress m_progress;
};
