#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace zip {

// Writes standard zip archives (deflate) through libzip.
//
// Files are added to a pending batch; nothing reaches the archive until flush(), which writes
// the whole batch in one pass, closes the archive, syncs it and its folder to disk, opens it
// again and checks that each file of the batch is there with its size and CRC-32 and reads back
// to them, and that the file itself did not change meanwhile.  Only the files that flush()
// reports as stored may be deleted by the caller.  A write that fails (disk full, folder gone or
// not writable) stores nothing: every file of the batch is reported failed.  A file that
// vanished or could not be read fails alone; the batch is then written again without it.  Batching
// keeps the work proportional to the bytes written: an archive is rewritten once per flush, not
// once per file.
//
// Entry names: without a base folder, a file is stored under its path below the root of its
// drive ("/home/ann/a.txt" on drive C "/" becomes "home/ann/a.txt"), so that extracting with
// paths into that drive's root puts it back.  With a base folder, files below it are stored
// relative to it.
//
// Each entry is deflated (level 6), never encrypted, and carries the file's Unix permissions and
// its exact time of last write (an extended timestamp field beside the packed DOS time).
//
// After a flush that failed or was aborted the pending changes are dropped and the archive is
// opened again as it is on disk, so the writer stays open on the same name with an empty batch;
// only when that reopening fails too is the writer closed (isOpen() false, see lastError()).
class ZipWriter {
public:
    // Recommended batch: flush once kFlushFiles files or kFlushBytes bytes are pending.  libzip
    // writes the whole archive anew on every flush, so flushDue() also waits until the batch is
    // as large as the archive already is; the total work then stays proportional to the bytes
    // written.
    static constexpr qint64 kFlushFiles = 1000;
    static constexpr qint64 kFlushBytes = qint64(256) * 1024 * 1024;

    ZipWriter();
    ~ZipWriter(); // flushes what is pending and closes
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // Opens the archive of that name, creating it when missing and reopening it when it exists.
    // The archive already open under the same name stays open; another name flushes and closes
    // the current archive first (check flush results with takeResults()).
    bool open(const QString& archivePath);
    QString archivePath() const;
    bool isOpen() const;

    // The archive comment (at most 80 characters are kept), written with the next flush.
    void setComment(const QString& comment);

    // Folder whose files are stored relative to it; empty for the drive root rule.
    void setBaseFolder(const QString& folder);

    // Called while a flush writes, with the percentage done (0..100); returning true asks to
    // abort, which leaves the archive as it was before the flush and stores nothing of the batch.
    void setProgress(std::function<bool(int percent)> progress);

    // Adds one regular file by its full path to the pending batch.  False (with lastError())
    // when the file cannot be read or no archive is open.
    bool addFile(const QString& fullPath);

    qint64 pendingCount() const;
    qint64 pendingBytes() const;

    // True when the pending batch is big enough to be written (see kFlushFiles).
    bool flushDue() const;

    // How often this writer has had libzip write an archive file (one per flush that had
    // something to write, more when files vanished while being read).
    qint64 archiveWrites() const;

    struct Results {
        QStringList stored;   // full paths now safely in the archive on disk
        QStringList failed;   // full paths that could not be stored
        bool aborted = false; // the progress callback asked to stop
        QString error;        // the engine's message for the failure, else why the first
                              // failed file was not stored; empty when nothing failed
    };

    // Writes the pending batch as described above and returns what became of each file
    // (together with any results of flushes that open() caused and that were not taken yet).
    Results flush();

    // Results of flushes made by open() or the destructor that the caller has not taken yet.
    Results takeResults();

    QString lastError() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zip
