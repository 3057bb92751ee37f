#pragma once

#include "platform/fileidentity.h"

#include <QByteArray>
#include <QString>

struct stat;

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

// rename(2) that never replaces an existing entry; 0 or the error code (EEXIST when the target
// is taken).
int renameNoReplace(const QByteArray& from, const QByteArray& to);

// Drops the cached drive table so that the next call reads the world anew.
void forgetDrives();

// Drops the registry view (and so every answer remembered from it); the next use builds it anew.
void forgetRegistry();

} // namespace platform::internal
