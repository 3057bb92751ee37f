#include "platform/environment.h"

#include "platform/internal.h"
#include "platform/names.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <mutex>
#include <optional>
#include <unistd.h>

namespace platform {

namespace {

QString envPath(const char* name) {
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? QString() : internal::stripTrailingSlash(QDir::cleanPath(v));
}

QString homeFolder() {
    QString home = envPath("HOME");
    return home.isEmpty() ? QDir::homePath() : home;
}

// $XDG_x_HOME, else ~/<fallback>; a relative value counts as unset.
QString xdgHome(const char* xdgName, const char* fallback) {
    const QString base = envPath(xdgName);
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        return homeFolder() + "/" + QString::fromLatin1(fallback);
    return base;
}

// $XDG_DATA_DIRS split at ":", relative and empty elements left out; the default list when
// nothing is left.
QStringList xdgDataDirs() {
    QStringList dirs;
    const QStringList elements = qEnvironmentVariable("XDG_DATA_DIRS").split(QLatin1Char(':'));
    for (const QString& element : elements) {
        if (QDir::isAbsolutePath(element))
            dirs << internal::stripTrailingSlash(QDir::cleanPath(element));
    }
    if (dirs.isEmpty())
        dirs << QStringLiteral("/usr/local/share") << QStringLiteral("/usr/share");
    return dirs;
}

Places readPlaces() {
    Places p;
    p.homeDir = homeFolder();
    p.xdgDataHome = xdgHome("XDG_DATA_HOME", ".local/share");
    p.xdgDataDirs = xdgDataDirs();
    p.configDir = envPath("VASTEL_CONFIG_DIR");
    if (p.configDir.isEmpty())
        p.configDir = xdgHome("XDG_CONFIG_HOME", ".config") + "/vastel";
    p.dataDir = envPath("VASTEL_DATA_DIR");
    if (p.dataDir.isEmpty())
        p.dataDir = p.xdgDataHome + "/vastel";
    p.windowsDir = envPath("VASTEL_WINDOWS_DIR");
    if (p.windowsDir.isEmpty())
        p.windowsDir = QStringLiteral("/etc");
    p.systemDir = envPath("VASTEL_SYSTEM_DIR");
    if (p.systemDir.isEmpty())
        p.systemDir = QStringLiteral("/usr/lib");
    p.registryFile = qEnvironmentVariable("VASTEL_REGISTRY");
    return p;
}

std::optional<Places> g_places;

} // namespace

namespace internal {

QString stripTrailingSlash(const QString& path) {
    QString p = path;
    while (p.size() > 1 && p.endsWith('/'))
        p.chop(1);
    return p;
}

} // namespace internal

const Places& places() {
    if (!g_places)
        g_places = readPlaces();
    return *g_places;
}

QString executablePath() {
    // /proc/self/exe names the running binary even before QCoreApplication exists.
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0)
        return QString::fromLocal8Bit(buf, int(n));
    return QCoreApplication::applicationFilePath();
}

// PATH holds folder paths as bytes, like the names they lead through; names.h keeps them.
QStringList searchPathElements() {
    QStringList elements;
    for (const QByteArray& element : qgetenv("PATH").split(':'))
        elements << decodeName(element);
    return elements;
}

void reloadEnvironment() {
    g_places.reset();
    internal::forgetDrives();
    internal::forgetRegistry();
}

} // namespace platform
