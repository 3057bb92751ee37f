#pragma once

#include <QString>
#include <QStringList>

// Where the program keeps its files and which folders stand for the system's own.
//
// Every value is read once, at first use, from the environment: the VASTEL_* variables of a
// sandbox world win over the XDG defaults.  Tests that build a world call reloadEnvironment()
// after setting the variables.
namespace platform {

struct Places {
    QString configDir;    // profile folder: vastel.ini and vastel95 (VASTEL_CONFIG_DIR,
                          // else $XDG_CONFIG_HOME/vastel, else ~/.config/vastel)
    QString dataDir;      // folder of folders.txt (VASTEL_DATA_DIR, else $XDG_DATA_HOME/vastel,
                          // else ~/.local/share/vastel)
    QString windowsDir;   // the "Windows folder": VASTEL_WINDOWS_DIR, else /etc
    QString systemDir;    // the "Windows system folder": VASTEL_SYSTEM_DIR, else /usr/lib
    QString homeDir;      // the user's home folder ($HOME)
    QString registryFile; // VASTEL_REGISTRY, empty when unset
    // The user's data folder: $XDG_DATA_HOME, else ~/.local/share.
    QString xdgDataHome;
    // The shared data folders in order of preference: $XDG_DATA_DIRS split at ":" (elements that
    // are not absolute left out), else /usr/local/share and /usr/share.
    QStringList xdgDataDirs;
};

// The places of the current world.  Paths carry no trailing "/" (except "/" itself).
const Places& places();

// Absolute path of the running executable, and its folder.
QString executablePath();

// The value of PATH split at ":" in order, empty elements kept.
QStringList searchPathElements();

// Forgets every value read from the environment (places, drives, the registry view); the next
// call reads anew.
void reloadEnvironment();

} // namespace platform
