#include "browse/ui/fileicon.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStyle>

QIcon fileIcon(const QString& path, bool isFolder) {
    QStyle* style = QApplication::style();
    if (isFolder)
        return style->standardIcon(QStyle::SP_DirIcon); // "DIRECTORY"
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = style->standardIcon(QStyle::SP_FileIcon); // "NOICON"
    return icon;
}
