#pragma once

#include <QString>

// Path services of the file system.
namespace platform {

// The canonical form of a path: absolute, symbolic links resolved, no "." or "..".  A path that
// does not exist keeps its text.  Plays the part of the short (8.3) path of older systems.
QString canonicalPath(const QString& path);

// Kinds of a path, without following a final symbolic link for isSymLink.
bool pathExists(const QString& path);
bool isDirectory(const QString& path);
bool isSymLink(const QString& path);

// The process's current folder.
QString currentFolder();

// Makes a folder the process's current folder; on failure false and, when asked, the system's
// message.
bool setCurrentFolder(const QString& path, QString* error = nullptr);

} // namespace platform
