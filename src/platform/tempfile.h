#pragma once

#include <QString>

namespace platform {

// The user's temporary folder: $TMPDIR when it names a folder, else /tmp.
QString temporaryFolder();

// A new, empty file of the user's alone (mode 0600) in the temporary folder, its name the
// prefix followed by six random characters (mkstemp).  The path, or an empty path and the
// system's reason in *error.
QString createTemporaryFile(const QString& prefix, QString* error);

} // namespace platform
