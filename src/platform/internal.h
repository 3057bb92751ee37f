#pragma once

#include "platform/fileidentity.h"

#include <QByteArray>
#include <QString>

// A call here that fails as a bool (or an empty or -1 value) with the reason in a QString* uses
// the platform's low-level form; code outside platform/ wraps it in a Result (app/result.h).

struct stat;

namespace platform {
class OpenFolder;
}

// Helpers shared by the files of the platform layer; not for use outside it.
namespace platform::internal {

// Removes trailing "/" characters, keeping "/" itself.
QString stripTrailingSlash(const QString& path);

// The system's message for an error number.
QString systemMessage(int code);

// Sets *error (when given) to the system's message for the error number and returns false.
bool failWith(QString* error, int code);

// The identity of a regular file or a symbolic link (the link itself, as lstat(2) gives it)
// from its stat(2) data, change time included; unknown for anything else.  A listed link can so
// be removed as the link it was, never as whatever it points to.
FileIdentity identityOfStat(const struct stat& st);

// The id of the mount an open file or folder lies in (statx STATX_MNT_ID); 0 when the kernel
// does not tell it.  Two folders of one file system in different mounts (a bind mount) differ.
quint64 mountIdOf(int fd);
// The same for an entry of an open folder, without following a final symbolic link.
quint64 mountIdOf(int dirFd, const char* name);

// rename(2) that never replaces an existing entry; 0 or the error code (EEXIST when the target
// is taken).
int renameNoReplace(const QByteArray& from, const QByteArray& to);
// The same between entries of two open folders (AT_FDCWD for paths).
int renameNoReplaceAt(int fromFd, const QByteArray& from, int toFd, const QByteArray& to);

// For a path too long for the system to take at once (ENAMETOOLONG): its folder, opened one
// component at a time (links followed), and its last name.  False when the folder cannot be
// opened or the path names no entry of a folder.
bool openParentOfLongPath(const QString& path, OpenFolder* folder, QByteArray* name);

// Opens a regular file for reading without following a final symbolic link and without
// blocking on a FIFO, at any path length, and fills *st from the open descriptor: the
// descriptor, or -1 with *error set ("is a symbolic link", "not a regular file", or the
// system's message).
int openRegularFile(const QString& path, struct stat* st, QString* error);

// Drops the cached drive table so that the next call reads the world anew.
void forgetDrives();

// Drops the registry view (and so every answer remembered from it); the next use builds it anew.
void forgetRegistry();

} // namespace platform::internal
