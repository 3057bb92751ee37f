#pragma once

#include <QString>

// A call here that fails as a bool (or an empty or -1 value) with the reason in a QString* uses
// the platform's low-level form; code outside platform/ wraps it in a Result (app/result.h).

namespace platform {

// The user's temporary folder: $TMPDIR when it names a folder, else /tmp.
QString temporaryFolder();

// A new, empty file of the user's alone (mode 0600) in the temporary folder, its name the
// prefix followed by six random characters (mkstemp).  The path, or an empty path and the
// system's reason in *error.
QString createTemporaryFile(const QString& prefix, QString* error);

} // namespace platform
