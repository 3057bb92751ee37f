#pragma once

#include <QString>

namespace platform {

// The comment (description) of the MIME type the shared MIME database's glob patterns give a
// whole file name: "libz.so.1" is a shared library, "Makefile" a Makefile build file, "x.tar.gz"
// a compressed tar archive.  Empty when no pattern matches.
//
// Asking the database costs a good part of a millisecond a name, too much for a walk over a
// million files; so its answers are kept by what decides them (the name's plain extension and
// the other patterns that match it), and a name no pattern matches is not asked about.
QString mimeDescriptionOfName(const QString& fileName);

} // namespace platform
