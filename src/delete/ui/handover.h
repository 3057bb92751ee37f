#pragma once

#include "app/gridmarks.h"
#include "delete/archivetags.h"
#include "delete/lastcopy.h"
#include "delete/reallydelete.h"

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

// Hands the files a tool marked to the deletion window and waits for it:
//   owner       the tool's window (the deletion window is modal to it);
//   files       the marked files: full paths with the identities they were listed with (a
//               file that no longer has its identity is kept when the user disposes);
//   archiveTag  one of archiveTags, or empty (only used in zip archive names);
//   savings     total size in bytes of all marked files, protected ones included; it is what the
//               running totals grow by after a disposal;
//   copies      the groups of duplicates the files come from, if they do: the window then keeps
//               the last copy of every content unless the user chooses it (lastcopy::Guard).
// Returns Disposed when the user disposed of the deletion panel (delete, trash or zip) and
// Cancelled when the window was cancelled or closed without doing so.  The tool closes after a
// disposal (the browser re-reads its folder, the internet cache window empties its list) and
// stays after a cancel.
enum class DisposalChoice { Disposed, Cancelled };

DisposalChoice reallyDelete(QWidget* owner, const ListedFiles& files, const QString& archiveTag,
                            qint64 savings, const lastcopy::CopyGroups& copies = {});

// A search window's "Clean?": hands its marked files (none: nothing happens) to the deletion
// window, and closes the search window after a disposal, whose rows no longer tell the truth.
void handOverMarks(QDialog* window, const GridMarks& marks, const char* archiveTag,
                   const lastcopy::CopyGroups& copies = {});

// Opens the folder deletion window for one folder and waits for it: Disposed after a run (even
// one that left files behind), Cancelled when the window was closed without one or Cancel was
// clicked during the run.  recycled tells whether the run sent the files to the trash.
struct FolderDisposal {
    DisposalChoice choice = DisposalChoice::Cancelled;
    bool recycled = false;
};

FolderDisposal disposeOfFolder(QWidget* owner, const QString& folder);
