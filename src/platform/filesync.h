#pragma once

#include "platform/fileidentity.h"

#include <QFile>
#include <QString>
#include <QtGlobal>
#include <memory>

// Files written so that they survive: reading and creating files by program-text names
// (names.h), flushing files and folders to the device, replacing a file by rename, and the
// times and kinds of files as lstat(2) sees them.  The archive engine writes and checks its
// archives and extracts their entries through these.
namespace platform {

// Flushes the data and the metadata of a file to its device (fsync).
bool syncFile(const QString& path, QString* error = nullptr);

// Flushes a folder, so that names created, renamed or removed in it are on the device too.
bool syncFolder(const QString& path, QString* error = nullptr);

enum class FileKind { Missing, Regular, Folder, Link, Other };

// What lstat(2) says of a path; a final symbolic link is not followed.
struct FileStamp {
    FileKind kind = FileKind::Missing; // also Missing when the path cannot be looked at
    qint64 size = 0;
    qint64 modifiedSeconds = 0; // last write, seconds since the epoch
    qint64 modifiedNanoseconds = 0;
    quint32 permissions = 0; // the mode's permission bits (07777)
    quint64 device = 0;
    quint64 inode = 0;
    qint64 changedSeconds = 0; // last status change (ctime)
    qint64 changedNanoseconds = 0;

    // The identity of the file, its change time included.
    FileIdentity identity() const {
        FileIdentity id;
        if (kind != FileKind::Regular)
            return id;
        id.device = device;
        id.inode = inode;
        id.size = size;
        id.modified = nanoseconds(modifiedSeconds, modifiedNanoseconds);
        id.changed = nanoseconds(changedSeconds, changedNanoseconds);
        return id;
    }

    // Same file, same size, same time of last write.
    bool sameContentAs(const FileStamp& other) const {
        return kind == other.kind && size == other.size &&
               modifiedSeconds == other.modifiedSeconds &&
               modifiedNanoseconds == other.modifiedNanoseconds && device == other.device &&
               inode == other.inode;
    }
};

FileStamp fileStamp(const QString& path);

// Opens a regular file for reading.  A final symbolic link, a folder, a FIFO or a device is
// refused (without blocking on a FIFO).  Null on failure.
std::unique_ptr<QFile> openForReading(const QString& path, QString* error = nullptr);

// Creates a new file for writing with the given permission bits (reduced by the umask).  Fails
// when anything, a dangling symbolic link included, already has that name.  Null on failure.
std::unique_ptr<QFile> createNewFile(const QString& path, quint32 permissions = 0666,
                                     QString* error = nullptr);

// Renames a file over another name (rename(2)): a file there is replaced in one step, a
// symbolic link there is replaced itself, not followed.
bool replaceFile(const QString& from, const QString& to, QString* error = nullptr);

// Sets the last access and last write times of a path to the same moment (seconds since the
// epoch), without following a final symbolic link.
bool setFileTimes(const QString& path, qint64 epochSeconds, QString* error = nullptr);

} // namespace platform
