#include "sandbox.h"

#include "platform/environment.h"
#include "platform/names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

SandboxWorld::SandboxWorld() {
    for (const char* sub : {"c", "config", "data", "windows", "system", "home", "xdg-data",
                            "xdg-config", "xdg-cache"})
        QDir().mkpath(path(QString::fromLatin1(sub)));
    saveAndSet("VASTEL_DRIVES", ("C=" + path("c")).toUtf8());
    saveAndSet("VASTEL_CONFIG_DIR", path("config").toUtf8());
    saveAndSet("VASTEL_DATA_DIR", path("data").toUtf8());
    saveAndSet("VASTEL_WINDOWS_DIR", path("windows").toUtf8());
    saveAndSet("VASTEL_SYSTEM_DIR", path("system").toUtf8());
    saveAndSet("VASTEL_REGISTRY", QByteArray(), true);
    saveAndSet("HOME", path("home").toUtf8());
    saveAndSet("XDG_DATA_HOME", path("xdg-data").toUtf8());
    saveAndSet("XDG_CONFIG_HOME", path("xdg-config").toUtf8());
    saveAndSet("XDG_CACHE_HOME", path("xdg-cache").toUtf8());
    reload();
}

SandboxWorld::~SandboxWorld() {
    for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
        if (it.value().isNull())
            qunsetenv(it.key().constData());
        else
            qputenv(it.key().constData(), it.value());
    }
    platform::reloadEnvironment();
}

QString SandboxWorld::root() const {
    return QFileInfo(m_dir.path()).canonicalFilePath();
}

QString SandboxWorld::path(const QString& relative) const {
    return root() + "/" + relative;
}

void SandboxWorld::setDrives(const QStringList& letters) {
    QStringList items;
    for (const QString& l : letters) {
        const QString folder = makeDir(l.toLower());
        items << l.toUpper() + "=" + folder;
    }
    setEnv("VASTEL_DRIVES", items.join(';'));
}

QString SandboxWorld::useRegistry(const QByteArray& regedit) {
    const QString file = makeFile(QStringLiteral("registry.reg"), regedit);
    setEnv("VASTEL_REGISTRY", file);
    return file;
}

void SandboxWorld::setEnv(const char* name, const QString& value) {
    saveAndSet(name, platform::encodeName(value), value.isNull());
    reload();
}

QString SandboxWorld::makeFile(const QString& relative, const QByteArray& content) {
    const QString full = path(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
    return full;
}

QString SandboxWorld::makeDir(const QString& relative) {
    const QString full = path(relative);
    QDir().mkpath(full);
    return full;
}

QByteArray SandboxWorld::readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void SandboxWorld::reload() {
    platform::reloadEnvironment();
}

void SandboxWorld::saveAndSet(const char* name, const QByteArray& value, bool unset) {
    const QByteArray key(name);
    if (!m_saved.contains(key))
        m_saved.insert(key, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray());
    if (unset)
        qunsetenv(name);
    else
        qputenv(name, value);
}
