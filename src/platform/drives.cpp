#include "platform/drives.h"

#include "platform/internal.h"

namespace platform::internal {
void forgetDrives() {}
} // namespace platform::internal
