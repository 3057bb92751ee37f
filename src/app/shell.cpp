#include "app/shell.h"

#include "app/inifile.h"
#include "app/zipsettings.h"
#include "platform/environment.h"

namespace shell {

namespace {
QString g_zipFolder;
} // namespace

ProtectedFolders& protection() {
    static ProtectedFolders folders;
    return folders;
}

const QString& defaultZipFolder() {
    return g_zipFolder;
}

void setDefaultZipFolder(const QString& folder) {
    g_zipFolder = folder;
}

void getDefaultZipPath() {
    g_zipFolder = readZipPath(settingsFile(), platform::places().homeDir);
}

} // namespace shell
