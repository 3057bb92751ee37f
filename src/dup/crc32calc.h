#pragma once

#include <QFile>
#include <QtGlobal>
#include <functional>
#include <stdexcept>

// Raised by TCRC32Calc::calculate when a calculation is already running.
class ECRC32CalcError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The CRC-32 (app/crc32.h) of a whole file, read through one read-only mapped view of it, so
// that no read buffer is needed and the file is read once.  Used by the pair comparison to tell
// whether two files have the same contents.
class TCRC32Calc {
public:
    // Large files are checksummed in blocks of this many bytes, with the pump called between
    // two blocks.
    static constexpr qint64 kPumpBlock = qint64(8) * 1024 * 1024;

    TCRC32Calc() = default;
    TCRC32Calc(const TCRC32Calc&) = delete;
    TCRC32Calc& operator=(const TCRC32Calc&) = delete;

    // The checksum of the whole file of an open stream (offset 0 to its size, whatever the
    // stream's position).  Raises ECRC32CalcError "CRC Calc is Busy" when a calculation is
    // running already (started from the pump), and platform::EFileMappingError when the file
    // cannot be mapped or read (no stream, not open, empty, not a regular file; see
    // platform/filemapping.h).  The calculator is free again after any error, and whatever the
    // pump raises is passed on the same way.
    quint32 calculate(QFile* stream);

    // True while calculate() runs.
    bool busy() const { return m_busy; }

    // Called between two blocks of a large file, for example to keep a window answering while
    // the checksum runs.  An empty function (the default) is not called.
    void setPump(std::function<void()> pump) { m_pump = std::move(pump); }

    // The bare register step of the checksum over count bytes; with no bytes (null, or a count
    // of 0) the register comes back unchanged.  See crc32::update.
    static quint32 checksumUpdate(quint32 reg, const void* bytes, qint64 count);

private:
    bool m_busy = false;
    std::function<void()> m_pump;
};
