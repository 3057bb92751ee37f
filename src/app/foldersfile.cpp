#include "app/foldersfile.h"

#include "platform/environment.h"
#include "platform/filesync.h"
#include "platform/names.h"
#include "platform/paths.h"

#include <QFile>

QString readFoldersWhen(const IniFile& ini) {
    return ini.readString(QStringLiteral("Folders"), QStringLiteral("When"),
                          QStringLiteral("Not recorded"));
}

bool writeFoldersWhen(IniFile& ini, const QString& when) {
    return ini.writeString(QStringLiteral("Folders"), QStringLiteral("When"), when);
}

// The lines are folder paths, kept in the file with the bytes of the names on disk, so that a
// folder whose name is not UTF-8 is still the folder that is protected.

QString foldersFilePath() {
    return platform::places().dataDir + QStringLiteral("/folders.txt");
}

bool foldersFileExists() {
    // Whatever has the name counts, so that something other than a file there is reported as
    // unreadable rather than taken for a list never built.
    return platform::fileStamp(foldersFilePath()).kind != platform::FileKind::Missing;
}

Result<QStringList> readFoldersFile() {
    const platform::FileContent file = platform::readWholeFile(foldersFilePath());
    if (!file.ok())
        return Failure{file.message};
    const QByteArray& bytes = file.bytes;
    QStringList folders;
    const QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            folders << platform::decodeName(line);
    }
    return folders;
}

bool writeFoldersFile(const QStringList& folders) {
    const QString path = foldersFilePath();
    if (folders.isEmpty()) {
        QFile file(path);
        return !file.exists() || file.remove();
    }
    QByteArray bytes;
    for (const QString& folder : folders)
        bytes += platform::encodeName(folder) + "\r\n";
    return saveWholeFile(path, bytes).ok();
}

QStringList missingFolderWarnings(const QStringList& folders) {
    QStringList warnings;
    for (const QString& folder : folders) {
        if (platform::isDirectory(folder))
            continue;
        QString warning = QStringLiteral("The folder \"") + folder +
                          QStringLiteral("\" of the non-delete list (") + foldersFilePath() +
                          QStringLiteral(") does not exist, so it protects nothing.");
        const QString trimmed = folder.trimmed();
        if (trimmed != folder)
            warning += QStringLiteral("  The line has blanks before or after the name \"") +
                       trimmed + QStringLiteral("\".");
        warnings << warning;
    }
    return warnings;
}
