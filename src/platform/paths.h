#pragma once

#include "platform/fileidentity.h"

#include <QString>

// A call here that fails as a bool (or an empty or -1 value) with the reason in a QString* uses
// the platform's low-level form; code outside platform/ wraps it in a Result (app/result.h).

// Path services of the file system.
namespace platform {

// Path arithmetic on text, without the file system.
// A folder and a name joined with exactly one "/".
QString joinPath(const QString& folder, const QString& name);
// The folder part of a path, up to its last "/"; "/" for a path directly below the root.
QString parentFolder(const QString& path);
// The part of `path` below `folder`, comparing whole components ("a/b" for "/x/a/b" below "/x");
// a null string when path is not strictly below folder.
QString pathBelow(const QString& folder, const QString& path);

// The canonical form of a path: absolute, symbolic links resolved, no "." or "..".  A path that
// does not exist keeps its text.  Plays the part of the short (8.3) path of older systems.
QString canonicalPath(const QString& path);

// Kinds of a path, without following a final symbolic link for isSymLink.
bool pathExists(const QString& path);
bool isDirectory(const QString& path);
bool isSymLink(const QString& path);

// Done when the path is a folder this process may create files in; Failed with the system's
// message otherwise (no such folder, not a folder, no permission, read-only file system).
FileResult writableFolder(const QString& path);

// The process's current folder.
QString currentFolder();

// Makes a folder the process's current folder; on failure false and, when asked, the system's
// message.
bool setCurrentFolder(const QString& path, QString* error = nullptr);

} // namespace platform
