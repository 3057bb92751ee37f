#pragma once

#include "platform/fileidentity.h"

#include <QFile>
#include <QString>
#include <memory>

// A call here that fails as a bool (or an empty or -1 value) with the reason in a QString* uses
// the platform's low-level form; code outside platform/ wraps it in a Result (app/result.h).

// Names claimed for a file that is written elsewhere first and renamed onto the name at the end
// (an archive that libzip writes into "<name>.XXXXXX").  The claim is an empty file, created
// exclusively and held locked (flock) for as long as the claim is open.  A run that is killed
// leaves the empty file behind, but no lock: that tells its leftovers from a claim in use.
namespace platform {

// Creates the empty file (the permission bits reduced by the umask) and locks it.  Null when the
// name is taken (*taken set) or the file cannot be created (the reason in *error).  Closing the
// file ends the claim.
std::unique_ptr<QFile> claimNewFile(const QString& path, quint32 permissions, bool* taken,
                                    QString* error);

// Removes the empty file at the path when it is a claim that no process holds any longer: a
// regular file of this user, empty, not locked.  It is removed under its lock and only while the
// name still leads to it.  Done when removed, Changed when it is no abandoned claim (in use,
// not empty, another owner or kind), Failed when it cannot be looked at or removed.
FileResult removeAbandonedClaim(const QString& path);

} // namespace platform
