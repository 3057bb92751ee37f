#pragma once

#include <QIcon>
#include <QString>

// The icon of a file as the windows show it: for a folder the program's "DIRECTORY" picture,
// for a file the desktop theme's icon for its MIME type, and the program's "NOICON" picture when
// the theme has none.
QIcon fileIcon(const QString& path, bool isFolder);
