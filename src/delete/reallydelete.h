#pragma once

#include "app/listedfiles.h"
#include "platform/fileidentity.h"
#include "platform/openfolder.h"
#include "zip/zipwriter.h"

#include <QChar>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>

class ProtectedFolders;

// The work behind the deletion window: sorting the handed-over files into the deletion panel
// and the non-delete panel, the texts that explain a protected file, and the three ways of
// disposing of the deletion panel (delete, send to the trash, zip and then delete).  The window
// drives these routines through callbacks and shows what they report.

// ---- Archive names ----------------------------------------------------------------------------

// The folder archives go into: the zip folder, or the root of drive C when that is empty.
QString archiveFolder(const QString& zipFolder);

// Full path of the archive of one drive for one run: the archive folder, then
// "Drive-" + letter + "-" + tag + the moment as "ddMMMyyhhmm" (the locale's short month name,
// 24-hour clock) + ".zip", with exactly one "/" between folder and name.  For the tag
// "Duplicates", drive C and 8 December 2026 15:30 in English:
// ".../Drive-C-Duplicates08Dec261530.zip".
QString makeArchiveName(const QString& tag, QChar driveLetter, const QDateTime& moment,
                        const QString& zipFolder, const QLocale& locale = QLocale());

// The letter of the drive that holds the path; C when no drive does.
QChar driveLetterOfPath(const QString& path);

// ---- The two panels ---------------------------------------------------------------------------

// Panel order: by path ignoring letter case, then exactly (so the order is total).
bool panelLess(const QString& a, const QString& b);
void sortPanel(QStringList& panel);

// Adds entries to a sorted panel, keeping it sorted (n + m log m).
void mergeIntoPanel(QStringList& panel, QStringList entries);

// Takes the flagged rows out of a panel and returns them in panel order (linear).  flagged has
// one entry per row of the panel.
QStringList takeFlagged(QStringList& panel, const QVector<bool>& flagged);

struct PanelSplit {
    QStringList deletion; // files that may be deleted, in the order handed over
    QStringList keep;     // files in protected folders, in the order handed over
};

// Asks the protected-folder lookup (file mode) about every path, from the last to the first.
// step(visited) is called before each question with the number of paths asked about so far
// (0 for the first), so that a waiting window can move its bar and let events through.
PanelSplit sortIntoPanels(const QStringList& paths, ProtectedFolders& folders,
                          const std::function<void(qsizetype visited)>& step = {});

// Why a file sits on the non-delete panel: "This file \"<path>\" is on the DO NOT DELETE LIST
// since the folder that it is stored in is " + the reason text when its folder is protected,
// else "This file \"<path>\" is on the DO NOT DELETE LIST because you moved it here."
QString keepReasonText(const QString& path, ProtectedFolders& folders);

// ---- Disposal runs ----------------------------------------------------------------------------

// How a run talks to its window.  Every callback may be left empty.
struct DisposalHooks {
    // The file at this index of the deletion panel is being handled now.
    std::function<void(qsizetype index, const QString& path)> fileStarted;
    // A failure to show to the user (one message per failed file).
    std::function<void(const QString& message)> error;
    // Asked before every file of a zip run and while step() writes an archive: true stops the
    // run.
    std::function<bool()> abortRequested;
    // Progress of the archive step() is writing, 0..100.
    std::function<void(int percent)> gauge;
    // Asked about the folder each file lies in, as it is opened right before the file goes: a
    // non-empty reason holds the file back (see ProtectedFolders::guard).
    platform::FolderGuard guard;
    // Asked right before each file goes (see lastcopy::Guard::check): a non-empty reason keeps
    // the file, reported as keptAsLastCopy(path, reason).
    std::function<QString(const ListedFile& file)> lastCopy;
};

struct DisposalOutcome {
    qsizetype disposed = 0; // files gone from their folders (deleted, trashed, zipped)
    qsizetype failed = 0;   // files reported with an error
    bool stopped = false;   // the run ended before the last file
    bool aborted = false;   // ... because the user asked it to
};

// Every run looks at each file right before it goes: a file that is no longer the one that was
// listed (another file, another size or time, or gone) is kept and reported as
// "<path> has changed since the search; not deleted", and the run goes on.  Its folder is opened
// from "/" without following links, and a file whose folder the guard protects is kept and
// reported with the reason, whatever path led to it.

// Deletes every file for good.  A file that cannot be deleted is reported as
// "Couldn't delete file - <path>" and the run goes on.  Afterwards the running totals count the
// whole list and the whole savings as deleted.
DisposalOutcome deleteFiles(const ListedFiles& files, qint64 savings, const DisposalHooks& hooks);

// Sends every file to the trash.  The first file the trash refuses stops the run with
// "An error occurred sending files to the recycle bin.  " and the trash's reason; the files after
// it are not touched.  Afterwards the running totals count the whole list and the whole savings
// as recycled.
DisposalOutcome recycleFiles(const ListedFiles& files, qint64 savings, const DisposalHooks& hooks);

struct ZipRunSettings {
    QString tag;       // part of every archive name ("Duplicates", "TempClean", ... or empty)
    QString comment;   // archive comment
    QString zipFolder; // folder of the archives; empty for the root of drive C
    QDateTime moment;  // date and time in every archive name of the run; invalid for now
    QLocale locale;    // month names of the archive names
};

// Stores every file in the archive of its drive and deletes it once the archive holding it has
// been written to disk and checked: a file is deleted only when the flush of its batch reports
// it stored, and only while it is exactly as it was read (its change time included).  Each
// drive's files are batched apart; a batch is written when the writer finds it big enough and
// at the end, each into an archive file of its own (see zip::ZipWriter for the names).  A file that
// cannot be stored stays and is reported as "Couldn't zip up file - <path>"; a stored file that
// cannot be deleted as "Couldn't delete file - <path>".  abortRequested is asked before every file
// and while a batch is written; an aborted batch is not stored and its files stay.  Afterwards the
// running totals count the whole list and the whole savings as zipped.
DisposalOutcome zipFiles(const ListedFiles& files, qint64 savings, const ZipRunSettings& settings,
                         const DisposalHooks& hooks);

// ---- A run in steps --------------------------------------------------------------------------

enum class DisposalKind { Delete, Recycle, Zip };

// One of the three runs above, handled a few files at a time so that a window can show its
// progress and take a Cancel between steps without letting events through in the middle of
// one.  The functions above run it to the end at once.
class DisposalRun {
public:
    DisposalRun(DisposalKind kind, ListedFiles files, qint64 savings, DisposalHooks hooks,
                ZipRunSettings zip = ZipRunSettings());
    ~DisposalRun();
    DisposalRun(const DisposalRun&) = delete;
    DisposalRun& operator=(const DisposalRun&) = delete;

    // Handles up to `files` files; at the end writes what the archives hold pending and adds to
    // the running totals.  Every batch of a zip run is written here, inside the step, with the
    // hooks' gauge and abortRequested asked while it is written.  False once the run is over.
    bool step(int files);

    // The same run for a caller that writes the batches elsewhere (on a thread of its own, say).
    // advance() handles up to `files` files like step() but stops where a batch is due to be
    // written (FlushDue) instead of writing it: the caller then writes dueBatch()->flush() and
    // hands its results to settle(), which deletes the files stored, reports the others and says
    // how the run goes on.  Until then dueBatch() belongs to the caller alone (the run must
    // outlive the write), and advance() only answers FlushDue.  At the end each archive's
    // pending batch is due in turn.
    enum class Stage { More, FlushDue, Done };
    Stage advance(int files);
    zip::ZipWriter* dueBatch() const { return m_due; }
    Stage settle(const zip::ZipWriter::Results& results);

    const DisposalOutcome& outcome() const { return m_outcome; }

private:
    struct Writers;
    void handle(const ListedFile& file);
    void finish();
    void nextFinalBatch();
    void closeRun();
    Stage stage() const;

    DisposalKind m_kind;
    ListedFiles m_files;
    qint64 m_savings;
    DisposalHooks m_hooks;
    ZipRunSettings m_zip;
    std::unique_ptr<Writers> m_writers;
    platform::Disposer m_disposer;
    DisposalOutcome m_outcome;
    qsizetype m_next = 0;
    bool m_stopped = false;          // the trash refused a file
    bool m_finishing = false;        // the archives' last batches are being written
    size_t m_finalBatch = 0;         // the writer whose last batch is next
    zip::ZipWriter* m_due = nullptr; // the batch the caller writes now
    bool m_done = false;
};

// The texts of the runs.
namespace disposalText {
// "Couldn't delete file - <path>", then ": <reason>" when the reason is known.
QString couldNotDelete(const QString& path, const QString& reason = QString());
// "Couldn't zip up file - <path>", then ": <reason>" when the reason is known.
QString couldNotZip(const QString& path, const QString& reason = QString());
QString recycleQuestion(); // asked before files go to the trash
// "An error occurred sending files to the recycle bin.  " and the reason; "The bin may be full."
// when none is known.
QString recycleFailed(const QString& reason = QString());
// A file whose folder is protected, found so right before it would have gone.
QString heldBack(const QString& path, const QString& reason);
QString changedSinceSearch(const QString& path);
// A copy kept so that its contents stay somewhere: "This file \"<path>\" is kept since " and
// the reason, then ".".
QString keptAsLastCopy(const QString& path, const QString& reason);
QString totalsNotSaved(const QString& why);
} // namespace disposalText
