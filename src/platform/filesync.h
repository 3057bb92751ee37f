#pragma once

#include "platform/fileidentity.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

// A call here that fails as a bool (or an empty or -1 value) with the reason in a QString* uses
// the platform's low-level form; code outside platform/ wraps it in a Result (app/result.h).

// Files written so that they survive: reading and creating files by program-text names
// (names.h), flushing files and folders to the device, replacing a file by rename, and the
// times and kinds of files as lstat(2) sees them.  The archive engine writes and checks its
// archives and extracts their entries through these.
namespace platform {

// Flushes the data and the metadata of a file to its device (fsync).
bool syncFile(const QString& path, QString* error = nullptr);

// Flushes a folder, so that names created, renamed or removed in it are on the device too.
bool syncFolder(const QString& path, QString* error = nullptr);

// Flushes a file open for writing (one that createNewFile() gave) to its device and closes it.
// False, with the system's message, when either fails; the file is closed in any case.
bool syncAndClose(QFile& file, QString* error = nullptr);

// The whole content of a file, a final symbolic link followed.
struct FileContent {
    enum Status { Read, Missing, Failed };
    Status status = Missing;
    QByteArray bytes; // empty unless Read
    QString message;  // why it failed; empty otherwise

    bool ok() const { return status != Failed; }
};

// Missing when nothing has the name.  Failed when something has it that cannot be read whole: a
// folder, FIFO or device, a read that fails, or fewer bytes than the file held when it was opened.
// The open never waits (a FIFO without a writer is refused at once), so every file the program
// reads as input (settings, lists, the registry file, desktop entries) is read through this.  With
// a limit, a file of more bytes than that is refused without being read.
FileContent readWholeFile(const QString& path, qint64 limit = -1);

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
    // The identity of a regular file, its change time included; unknown for anything else.
    FileIdentity id;

    const FileIdentity& identity() const { return id; }
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

// Renames a file to a name that nothing has: fails with EEXIST (and changes nothing) when
// anything, a dangling symbolic link included, already has it.  The test and the rename are one
// step where the file system supports it.
bool renameToFreeName(const QString& from, const QString& to, QString* error = nullptr);

// Sets the last access and last write times of a path to the same moment (seconds since the
// epoch), without following a final symbolic link.
bool setFileTimes(const QString& path, qint64 epochSeconds, QString* error = nullptr);

// ---- Faults for tests ----
// The steps above that a test can make fail as a full or failing device would.
enum class FileStep { Read, SyncFile, CloseFile, SetTimes, Replace, SyncFolder };

// From now on the step calls the hook with the path it works on (the source of a replacement;
// empty for a file given open) and fails with the error number the hook returns, unless that is
// 0.  The hook may change the file system first, as a failure half-way might leave it.  A null
// hook removes the fault.
using FaultHook = std::function<int(const QString& path)>;
void setFileFault(FileStep step, FaultHook hook);
// The step fails with the error number every time; 0 removes the fault.
void setFileFault(FileStep step, int error);
// readWholeFile() gets only the first `bytes` bytes, as though the file ended there; -1 removes
// the fault.
void setShortRead(qint64 bytes);
void clearFileFaults();

} // namespace platform
