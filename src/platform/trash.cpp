// Placeholder until the trash is in place.
#include "platform/trash.h"

namespace platform {

bool moveToTrash(const QString&, QString* error) {
    if (error)
        *error = QStringLiteral("The trash is not available.");
    return false;
}

} // namespace platform
