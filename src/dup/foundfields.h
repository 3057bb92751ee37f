#pragma once

#include "dup/foundlist.h"

#include <QtGlobal>
#include <array>

// Which fields a found line holds, which fields make a duplicate's key, and in what order the
// found files are sorted, for each mode and criterion.
namespace dups {

// The fields of a found file.  Path is the large-file grid's folder and name in one.
enum Field : quint8 { fName, fSize, fDate, fTime, fAccess, fFolder, fType, fPath };

// A list of fields in the order they are compared or written.
struct FieldList {
    std::array<Field, 9> at;
    int count;
};

// The fields of a found line, in the line's order.
FieldList lineFields(Mode mode, Criterion criterion);

// The fields two files must share under a criterion.
FieldList keyFields(Criterion criterion);

// The order the files are sorted in: the line's fields, or under "Size and modify date/time"
// and "Size and type" (whose key is not the beginning of the line) the key first.  A path
// compares as its folder, then its name.  Large files leave out the size, which they are
// ordered by as a number first.
FieldList sortFields(Mode mode, Criterion criterion);

// The cells of a grid row, in column order.
FieldList gridFields(Mode mode, Criterion criterion);

} // namespace dups
