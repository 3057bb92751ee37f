#pragma once

#include "platform/fileidentity.h"

#include <QString>

// A call here that fails as a bool (or an empty or -1 value) with the reason in a QString* uses
// the platform's low-level form; code outside platform/ wraps it in a Result (app/result.h).

// The desktop's trash, as freedesktop.org desktops share it.
namespace platform {

// Moves a file, symbolic link or folder into the trash of its file system: the home trash
// ($XDG_DATA_HOME/Trash, created when missing) for paths on the file system of the home trash,
// else $topdir/.Trash/$uid (only when .Trash is a sticky folder and not a link) or
// $topdir/.Trash-$uid.  The .trashinfo file is created first; names never overwrite anything.
// Nothing is ever deleted for good: when the path cannot be trashed it stays where it is, the
// result is false and error (when given) holds the reason.
bool moveToTrash(const QString& path, QString* error = nullptr);

// The same for a file that must still be the one that was listed: right before the move its
// entry is looked at again without following a link, and unless `seen` matches it the result is
// Changed and the file stays.  Failed carries the reason.
FileResult moveToTrashIfUnchanged(const QString& path, const FileIdentity& seen);

} // namespace platform
