#pragma once

#include "platform/fileidentity.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// A call here that fails as a bool (or an empty or -1 value) with the reason in a QString* uses
// the platform's low-level form; code outside platform/ wraps it in a Result (app/result.h).

// The pieces of the trash (trash.h) on their own, so that each can be checked by itself.  Not
// for use outside the platform layer and its tests.
namespace platform::internal {

// The home trash: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash when XDG_DATA_HOME is unset,
// empty or not absolute (places().xdgDataHome).
QString homeTrashFolder();

// The numeric id of the user running the program; it names the top-directory trashes.
uint currentUserId();

// The top directory (mount point) of the file system that holds the existing folder `folder`:
// the highest folder reached by walking up from it while the device stays the same.
// A folder too deep for the system to look at by its path counts as on the device of the nearest
// folder above it that can be looked at.
QString topDirectoryOf(const QString& folder);

// The trash folder for files below `topdir`, owned by the user `uid`:
//  - $topdir/.Trash/$uid when $topdir/.Trash is a real folder (not a symbolic link) with the
//    sticky bit set; $uid is created inside it when missing;
//  - otherwise $topdir/.Trash-$uid, created with mode 0700 when missing.
// A trash folder that already exists is used only when it is a real folder owned by `uid`.
// Returns an empty string (and the reason in `error`) when neither can be used.  The files/ and
// info/ subfolders are not touched here.
QString topDirectoryTrash(const QString& topdir, uint uid, QString* error = nullptr);

// The Path value of a .trashinfo file: the bytes of the name as the file system holds them,
// percent-encoded as a URL path.  Letters, digits, "/" and - _ . ~ ! * ' ( ) stay as they are;
// every other byte becomes %XX (upper-case hex).
QByteArray encodeTrashPath(const QString& path);

// How the trash records where `path` came from: the absolute path for the home trash (empty
// `topdir`), the path relative to `topdir` for a top-directory trash.
QString storedTrashPath(const QString& path, const QString& topdir);

// The whole text of a .trashinfo file (DeletionDate in the local time of `when`).
QByteArray trashInfoText(const QString& storedPath, const QDateTime& when);

// The name under which `name` goes into a trash at attempt `attempt` (1, 2, ...).  Attempt 1 is
// the name itself; later ones put ".<attempt>" before the extension: "report.txt" becomes
// "report.2.txt", "notes" becomes "notes.2", ".profile" becomes ".profile.2".  The stem is
// shortened where needed so that the name plus ".trashinfo" fits in one directory entry.
QString trashEntryName(const QString& name, int attempt);

// Moves the entry `name` of the open folder `dirFd` (whose path, without symbolic links, is
// `folder`) into the trash of its file system.  With `seen` the entry must still be that file
// (Changed otherwise, also when it is gone); Failed with the reason when it cannot be trashed.
FileResult trashIn(int dirFd, const QString& folder, const QByteArray& name,
                   const FileIdentity* seen);

} // namespace platform::internal
