#include "dup/foundfields.h"

namespace dups {

FieldList lineFields(Mode mode, Criterion criterion) {
    if (mode == Mode::FileHogs)
        return {{fSize, fDate, fTime, fAccess, fPath, fType}, 6};
    switch (criterion) {
    case SizeOnly:
    case SizeDateTime:
    case SizeAndType:
        return {{fSize, fName, fDate, fTime, fAccess, fFolder, fType}, 7};
    case TypeDateTime:
        return {{fType, fDate, fTime, fName, fSize, fAccess, fFolder}, 7};
    default:
        return {{fName, fSize, fDate, fTime, fAccess, fFolder, fType}, 7};
    }
}

FieldList keyFields(Criterion criterion) {
    switch (criterion) {
    case FilenameOnly:
        return {{fName}, 1};
    case FilenameAndSize:
        return {{fName, fSize}, 2};
    case FilenameSizeDateTime:
        return {{fName, fSize, fDate, fTime}, 4};
    case SizeOnly:
        return {{fSize}, 1};
    case SizeDateTime:
        return {{fSize, fDate, fTime}, 3};
    case SizeAndType:
        return {{fSize, fType}, 2};
    case TypeDateTime:
        return {{fType, fDate, fTime}, 3};
    }
    return {{fName}, 1};
}

FieldList sortFields(Mode mode, Criterion criterion) {
    FieldList order{{}, 0};
    auto add = [&order](Field f) {
        if (f == fPath) {
            order.at[size_t(order.count++)] = fFolder;
            order.at[size_t(order.count++)] = fName;
        } else {
            order.at[size_t(order.count++)] = f;
        }
    };
    const FieldList line = lineFields(mode, criterion);
    if (mode == Mode::Duplicates && (criterion == SizeDateTime || criterion == SizeAndType)) {
        const FieldList key = keyFields(criterion);
        for (int k = 0; k < key.count; ++k)
            add(key.at[size_t(k)]);
    }
    for (int k = 0; k < line.count; ++k) {
        if (mode == Mode::FileHogs && line.at[size_t(k)] == fSize)
            continue; // large files are ordered by their size as a number first
        add(line.at[size_t(k)]);
    }
    return order;
}

FieldList gridFields(Mode mode, Criterion criterion) {
    if (mode == Mode::FileHogs)
        return lineFields(mode, criterion);
    return {{fName, fSize, fDate, fTime, fAccess, fFolder, fType}, 7};
}

} // namespace dups
