#pragma once

#include "platform/fileidentity.h"
#include "platform/filesync.h"

#include <QString>
#include <QtGlobal>

// A call here that fails as a bool (or an empty or -1 value) with the reason in a QString* uses
// the platform's low-level form; code outside platform/ wraps it in a Result (app/result.h).

// Reading regular files to compare their contents: a file is opened without following a final
// symbolic link and without blocking (a FIFO or device in its place is refused), checked against
// the identity it was listed with, read by ranges at given offsets, and checked again afterwards,
// so that a file that changed while it was read is never taken for what it held before.
namespace platform {

class ContentFile {
public:
    ContentFile() = default;
    ~ContentFile() { close(); }
    ContentFile(const ContentFile&) = delete;
    ContentFile& operator=(const ContentFile&) = delete;

    // Opens the file.  Changed when the path no longer names the file with the listed identity
    // (when that is known), Failed with the system's message when it cannot be opened or is not
    // a regular file.
    FileResult open(const QString& path, const FileIdentity& listed);

    // The identity the open file had when it was opened.
    const FileIdentity& identity() const { return m_opened; }

    // Tells the kernel that the file will be read from start to end, so that it reads ahead.
    void readsSequentially();

    // Reads up to `length` bytes at `offset` into the buffer; the count read (fewer only at the
    // end of the file), or -1 with the system's message.
    qint64 read(qint64 offset, char* buffer, qint64 length, QString* error = nullptr);

    // True when the open file still has the identity it had when it was opened (fstat(2)):
    // nothing was written to it, and its size and times are the same.
    bool unchanged() const;

    void close();

private:
    int m_fd = -1;
    QString m_path;
    FileIdentity m_opened;
};

// ---- Faults for tests ----
// From now on every ContentFile::read() calls the hook with the file's path first and fails
// with the error number it returns, unless that is 0.  The hook may change the file, as another
// program writing to it during the read would.  It is called from the reading threads.  A null
// hook removes the fault; set it only while no file is being read.
void setContentReadFault(FaultHook hook);

} // namespace platform
