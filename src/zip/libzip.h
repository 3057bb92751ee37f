#pragma once

// libzip for the files of the archive engine.  libzip declares `struct zip`, which clashes with
// this program's namespace zip, so its declarations are put into the namespace lz; its
// functions keep their C names and linkage.  The headers libzip itself includes come first, so
// that they stay in the global namespace.  Include this instead of <zip.h>, never both.
#include <cinttypes>
#include <cstdio>
#include <cstdlib> // brings the system's type definitions that zip.h includes as well
#include <ctime>

namespace lz {
#include <zip.h>
} // namespace lz
