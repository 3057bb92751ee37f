#pragma once

#include "platform/fileidentity.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace zip {

// Writes standard zip archives (deflate) through libzip.
//
// Files are added to a pending batch; nothing reaches the disk until flush(), which writes the
// whole batch as a new archive file, syncs it and its folder to disk, opens it again and checks
// that each file of the batch is there with its size and CRC-32 and reads back to them, and that
// the file itself did not change meanwhile.  Only the files that flush() reports as stored may be
// deleted by the caller, and only while they still have the identity it reports for them.  A
// write that fails (disk full, folder gone or not writable) stores nothing: every file of the
// batch is reported failed.  A file that vanished or could not be read fails alone; the batch is
// then written again without it.
//
// An archive file is written once and never again: an archive whose originals may already be
// deleted is never rewritten, and no entry is ever replaced.  Each batch therefore goes to a
// fresh file: the name given to open() when nothing has that name yet, else the same name with
// "-2", "-3", ... before ".zip" ("Drive-C-Duplicates08Dec261530-2.zip").  The name is taken by
// creating the file exclusively before libzip writes into it, so two runs never share a file.
// Archives are readable and writable by their owner alone (0600), whatever the umask, since
// they may hold files that nobody else could read.
//
// Entry names: without a base folder, a file is stored under its path below the root of its
// drive ("/home/ann/a.txt" on drive C "/" becomes "home/ann/a.txt"), so that extracting with
// paths into that drive's root puts it back.  With a base folder, files below it are stored
// relative to it.
//
// Each entry is deflated (level 6), never encrypted, and carries the file's Unix permissions and
// its exact time of last write (an extended timestamp field beside the packed DOS time).
class ZipWriter {
public:
    // Recommended batch: flush once kFlushFiles files or kFlushBytes bytes are pending.  Every
    // batch is an archive file of its own, so batches are large.
    static constexpr qint64 kFlushFiles = 10000;
    static constexpr qint64 kFlushBytes = qint64(1024) * 1024 * 1024;

    ZipWriter();
    ~ZipWriter(); // flushes what is pending
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // Names the archive that the next batches are written to (see above for the names of
    // further batches).  False when its folder does not exist.  The same name again keeps the
    // pending batch; another name writes it first (check its results with takeResults()).
    bool open(const QString& archivePath);
    QString archivePath() const;
    bool isOpen() const;

    // The archive comment (at most 80 characters are kept), written into every later archive.
    void setComment(const QString& comment);

    // Folder whose files are stored relative to it; empty for the drive root rule.
    void setBaseFolder(const QString& folder);

    // Called while a flush writes, with the percentage done (0..100); returning true asks to
    // abort, which leaves no archive behind and stores nothing of the batch.
    void setProgress(std::function<bool(int percent)> progress);

    // Adds one regular file by its full path to the pending batch.  When `seen` is known, the
    // file must still have that identity (the one the user saw listed): otherwise the result is
    // Changed and nothing is added.  Failed (with the reason) when the file cannot be read or no
    // archive is open.
    platform::FileResult addFile(const QString& fullPath,
                                 const platform::FileIdentity& seen = platform::FileIdentity());

    qint64 pendingCount() const;
    qint64 pendingBytes() const;

    // True when the pending batch is big enough to be written (see kFlushFiles).
    bool flushDue() const;

    // How often this writer has had libzip write an archive file (one per flush that had
    // something to write, more when files vanished while being read).
    qint64 archiveWrites() const;

    struct Stored {
        QString path;                    // full path of the file
        platform::FileIdentity identity; // the file as it was read, its change time included
    };

    struct Results {
        QList<Stored> stored;            // files now safely in an archive on disk
        QStringList failed;              // full paths that could not be stored
        QHash<QString, QString> reasons; // why each of the failed files was not stored
        QStringList archives;            // the archive files written
        bool aborted = false;            // the progress callback asked to stop
        QString error;                   // the engine's message for the failure, else why the first
                                         // failed file was not stored; empty when nothing failed

        QStringList storedPaths() const;
    };

    // Writes the pending batch as described above and returns what became of each file
    // (together with any results of flushes that open() caused and that were not taken yet).
    Results flush();

    // Results of flushes made by open() that the caller has not taken yet.
    Results takeResults();

    QString lastError() const;

    // Removes from the folder what writers killed in the middle left there, and nothing else:
    // each empty file whose name matches the mask ("Drive*.zip") that is an abandoned claim of
    // this user (see platform/claims.h; the claim of a writer at work is locked), and beside it
    // the engine's temporary files of that name ("<name>.XXXXXX").  The paths removed.
    static QStringList removeLeftovers(const QString& folder, const QString& mask);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zip
