#pragma once

#include "platform/fileidentity.h"

#include <QString>

// A call here that fails as a bool (or an empty or -1 value) with the reason in a QString* uses
// the platform's low-level form; code outside platform/ wraps it in a Result (app/result.h).

// Changes to the file system that the tools make after the user confirmed them.  Paths are
// program text (see names.h).  On failure each returns false and, when asked, the system's
// message for the error.
namespace platform {

// Deletes one file (or a symbolic link, never what it points to).  A folder is refused.
bool removeFile(const QString& path, QString* error = nullptr);

// Deletes one file only while it is still the file that was listed: right before the unlink its
// entry is looked at again in its open folder, without following a link, and it must be a
// regular file that `seen` matches (FileIdentity::matches).  Changed when it is another file
// or has another size or time, and the file then stays as it is; Failed when it is gone, is a
// folder or cannot be removed.  Links on the way to its folder are followed: files a user
// listed go through Disposer (openfolder.h), which refuses them and asks a guard of protected
// folders.
FileResult removeFileIfUnchanged(const QString& path, const FileIdentity& seen);

// Removes an empty folder.
bool removeFolder(const QString& path, QString* error = nullptr);

// Creates a folder; its parent must exist.  True also when the folder already exists.
bool makeFolder(const QString& path, QString* error = nullptr);
// The same with the permission bits of a new folder (reduced by the umask).
bool makeFolder(const QString& path, quint32 mode, QString* error = nullptr);

// Creates an absolute path's folders that are missing, each with the given permission bits.
bool makeFolderPath(const QString& path, quint32 mode = 0777, QString* error = nullptr);

} // namespace platform
