#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A sandbox world in a temporary folder.  It points VASTEL_DRIVES, VASTEL_CONFIG_DIR,
// VASTEL_DATA_DIR, VASTEL_WINDOWS_DIR, VASTEL_SYSTEM_DIR, HOME and the XDG folders at folders
// inside it and reloads the platform layer, so nothing outside the sandbox is read or written.
// The old environment comes back when the world is destroyed.
//
// Layout below root(): c/ (drive C), config/, data/, windows/, system/, home/, xdg-data/,
// xdg-config/, xdg-cache/.
class SandboxWorld {
public:
    SandboxWorld();
    ~SandboxWorld();
    SandboxWorld(const SandboxWorld&) = delete;
    SandboxWorld& operator=(const SandboxWorld&) = delete;

    QString root() const;
    // root() + "/" + relative
    QString path(const QString& relative) const;

    // Drives of the world: each letter gets the folder root()/<lower-case letter>, created.
    void setDrives(const QStringList& letters);
    // Sets (or, with a null value, unsets) a variable for the life of the world and reloads.  The
    // value is a path as the program holds it: names that are not UTF-8 keep their bytes.
    void setEnv(const char* name, const QString& value);

    // Replaces the registry view by a REGEDIT4 text (written to a file of the world) and returns
    // the file's path.
    QString useRegistry(const QByteArray& regedit);

    // Creates a file (and its folders) below root() and returns its full path.
    QString makeFile(const QString& relative, const QByteArray& content = QByteArray());
    // Creates a folder (and its parents) below root() and returns its full path.
    QString makeDir(const QString& relative);

    // Re-reads the environment into the platform layer.
    void reload();

    // The whole content of a file; empty when it cannot be read.
    static QByteArray readBytes(const QString& path);

private:
    void saveAndSet(const char* name, const QByteArray& value, bool unset = false);

    QTemporaryDir m_dir;
    QMap<QByteArray, QByteArray> m_saved; // old values (null = was unset)
};
