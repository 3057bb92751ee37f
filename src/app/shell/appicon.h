#pragma once

#include <QIcon>
#include <QString>

// The program's icon and its link to the desktop entry vastel.desktop.

// Where the icon compiled into the program lies.
extern const QString kBuiltInIconPath;

// The desktop theme's "vastel" icon when one is installed, else the picture compiled in, so the
// program shows its icon uninstalled too.
QIcon programIcon();

// Gives every window of the application the program's icon and names its desktop entry, so that
// the desktop shows the windows under the entry's name and icon.
void setUpDesktopIdentity();
