#pragma once

#include "app/result.h"
#include "delete/reallydelete.h"
#include "platform/foldertree.h"
#include "zip/zipwriter.h"

#include <QHash>
#include <QString>
#include <functional>
#include <memory>

// The work behind the folder deletion window: disposing of one folder with everything below
// it, by deleting it, sending its files to the trash one by one, or zipping it (and, when
// asked, deleting it once the archive is safely on disk).

// ---- Folders that are never disposed of --------------------------------------------------------

enum class FolderRefusal {
    None,
    DriveRoot,    // the root folder of a drive
    HomeFolder,   // the home folder, or a folder that holds it
    SystemFolder, // a system folder, or a folder that holds one
};

// Whether a folder may be deleted, trashed or zipped and deleted, whatever the non-delete list
// says.  The system folders are the two of the protection lists and /bin /boot /dev /etc /lib
// /lib32 /lib64 /proc /run /sbin /sys /usr /var.
FolderRefusal folderRefusal(const QString& folder);
// The error text for a refusal; empty for None.
QString folderRefusalText(FolderRefusal refusal);

// The narrower test of the windows that offer a listed folder for deletion (folder hogs, the
// browser): the root folder of a drive gives "You cannot delete the root folder using Vastel 95",
// one of the system folders itself (not a folder below it) "You cannot delete the Windows folder
// using Vastel 95"; anything else an empty text, and is left to the folder deletion window.
QString windowsFolderRefusal(const QString& folder);

// ---- A run over one folder ---------------------------------------------------------------------

enum class FolderMode { Delete, Recycle, Zip };

struct FolderCleanSettings {
    QString folder;
    FolderMode mode = FolderMode::Delete;
    bool deleteAfterZip = true; // Zip: delete what the archive holds
    ZipRunSettings zip;         // Zip: where the archive goes, its tag and comment
};

// How a run talks to its window.  Every callback may be left empty.
struct FolderCleanHooks {
    // Asked before a read-only, hidden or system file is deleted: true (Yes) lets it go and the
    // run goes on; false stops the run and the file stays.
    std::function<bool(const QString& question)> confirm;
    // A file is being handled: the number handled so far (this one included) and its path.
    std::function<void(qint64 count, const QString& path)> counted;
    // A failure to show to the user.
    std::function<void(const QString& message)> error;
    // Progress of the archive being written, 0..100.
    std::function<void(int percent)> gauge;
};

// One run, driven in steps so that its window can show progress and take an abort between
// them.  The folder is walked through open folder descriptors (platform::FolderTree): nothing
// outside it is ever touched, links are removed as links, other file systems and the roots of
// the drives are not entered.
//
// Delete: every file is deleted while it is still what the walk saw; folders are removed as
// they become empty.  Recycle: every file goes to the trash on its own, so that each can be
// restored to where it was; the first the trash refuses stops the run.  Zip: every file is
// stored in one archive of the folder's drive (named after the tag and the moment, entries
// named by their paths below the drive's root so that unzipping into that root puts them back);
// with deleteAfterZip, once each batch is written, synced and checked, a second walk deletes
// exactly the files the archive holds and that are still as they were read, and the folders
// that are then empty.  A file that cannot be handled stays and is reported.
//
// Files are counted before they are handled, and a file with several names counts its bytes
// once.  At the end the running totals grow by the count and size: the deleted totals for a
// delete or trash run, the zip totals for a zip run.
class FolderClean {
public:
    FolderClean(FolderCleanSettings settings, FolderCleanHooks hooks);
    ~FolderClean();
    FolderClean(const FolderClean&) = delete;
    FolderClean& operator=(const FolderClean&) = delete;

    // Opens the folder.  Delete and Recycle first try to remove it at once: an empty folder
    // goes without a run (removedAtOnce(), and nothing is counted).  Fails with the reason when
    // the folder may not or cannot be disposed of, or the archive cannot be made.
    Result<> start();

    // Handles up to `files` entries; false once the run is over.
    bool step(int files);

    // Stops the run at its next check.  What is pending for the archive is given up (those
    // files stay); files already safely stored are still deleted.
    void abort() { m_aborted = true; }

    bool aborted() const { return m_aborted; }
    bool removedAtOnce() const { return m_removedAtOnce; }
    qint64 count() const { return m_count; }
    qint64 size() const { return m_size; }
    // The archive files written.
    const QStringList& archives() const { return m_archives; }

    // The message after the run: "Deleted N files for a savings of S bytes." or "Zipped up N
    // files", with a note when the run was aborted; empty when no file was handled.
    QString resultText() const;

private:
    enum class Phase { Walk, DeletePass, Finish, Done };
    void walkOne(platform::FolderTree::Entry& entry);
    bool askAbout(platform::FolderTree::Entry& entry);
    void endWalk();
    void deleteStored();
    void settle(const zip::ZipWriter::Results& batch);
    void finish();
    void report(const QString& message);

    FolderCleanSettings m_settings;
    FolderCleanHooks m_hooks;
    std::unique_ptr<platform::FolderTree> m_tree;
    std::unique_ptr<zip::ZipWriter> m_writer;
    Phase m_phase = Phase::Done;
    bool m_aborted = false;
    bool m_stopped = false; // the trash refused a file
    bool m_removedAtOnce = false;
    qint64 m_count = 0;
    qint64 m_size = 0;
    platform::FirstNames m_firstNames;
    QHash<QPair<quint64, quint64>, platform::FileIdentity> m_stored; // safely in the archive
    QStringList m_archives;
};
