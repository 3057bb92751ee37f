#pragma once

#include "delete/reallydelete.h"
#include "platform/dirsearch.h"

// Files handed to the deletion code as a tool lists them: each with the identity it has now.
// A path that cannot be looked at gets no identity.
inline ListedFiles listedNow(const QStringList& paths) {
    ListedFiles files;
    for (const QString& path : paths) {
        platform::DirEntry entry;
        files.append({path, platform::lookUpEntry(path, &entry) ? platform::identityOf(entry)
                                                                : platform::FileIdentity()});
    }
    return files;
}
