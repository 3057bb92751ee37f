#pragma once

#include <QFile>
#include <QtGlobal>
#include <stdexcept>

namespace platform {

// Raised when a file cannot be mapped or unmapped; what() is the message shown to the user.
class EFileMappingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A read-only view of the whole file behind an open QFile, mapped into memory (mmap), so that
// the file's bytes can be read in place without a read buffer.  The QFile must stay open
// while the view is used; the mapping itself does not depend on it afterwards.
//
// The constructor raises EFileMappingError with
//   "Invalid parameters. Could not create file mapping object"  when there is no stream or it
//       has no file descriptor (not open, or not a file of the file system);
//   "Could not create file mapping object"  when the file's size cannot be read, the file is
//       not a regular file, it is empty (there is nothing to map), or it does not fit into the
//       address space;
//   "Could not map file"  when the system refuses the mapping (for example, a stream opened
//       for writing only).
// Data written through the stream and still held in its buffer is flushed first, so the view
// shows it.
//
// The view stays valid until close() or destruction.  Another program may shorten the file
// while it is mapped; the pages past the new end can then no longer be read and touching them
// raises SIGBUS, which kills the program.  Reads of the view therefore go through
// guardedRead(), which turns such a fault into an error.
class TFileMapping {
public:
    explicit TFileMapping(QFile* stream);
    // Unmaps quietly; never raises.
    ~TFileMapping();

    TFileMapping(const TFileMapping&) = delete;
    TFileMapping& operator=(const TFileMapping&) = delete;

    // First byte of the file; null after close().
    const uchar* view() const { return m_view; }
    // Length of the view in bytes: the file's size when it was mapped; 0 after close().
    qint64 size() const { return m_size; }

    // Runs read(context), which reads bytes of the view and nothing else that can fault.
    // When a page of the view cannot be brought in (the file got shorter, or the device failed)
    // read is left at once and EFileMappingError "Could not map file" is raised.  read is left
    // by a jump, not by unwinding: it must not own anything that needs destroying.  Reads may
    // run on several threads at once; the first one installs a SIGBUS handler for the process
    // that stays, and passes faults outside a guarded read on to the handler before it.
    void guardedRead(void (*read)(void* context), void* context) const;

    // Unmaps the view now; raises EFileMappingError "Could not unmap file" when the system
    // refuses.  The view is forgotten either way, and a second call does nothing.
    void close();

private:
    const uchar* m_view = nullptr;
    qint64 m_size = 0;
};

} // namespace platform
