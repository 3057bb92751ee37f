#pragma once

#include "platform/fileidentity.h"

#include <QList>
#include <QString>
#include <QStringList>

// A file a tool hands to the deletion window: its full path and the identity the tool saw when
// it listed the file.  The file is disposed of only while it still has that identity.
struct ListedFile {
    QString path;
    platform::FileIdentity identity;
};
using ListedFiles = QList<ListedFile>;

// The paths of the files, in their order.
QStringList pathsOf(const ListedFiles& files);
