#include "delete/zipdestination.h"

#include "platform/drives.h"
#include "platform/fileops.h"
#include "platform/paths.h"

#include <QDir>
#include <QStringList>

namespace zipdest {

QChar archiveDriveLetter(const QString& archivePath) {
    const QString name = archivePath.mid(archivePath.lastIndexOf(QLatin1Char('/')) + 1);
    static const QString kMarker = QStringLiteral("Drive-");
    const int at = name.indexOf(kMarker);
    if (at < 0 || at + kMarker.size() >= name.size())
        return QChar();
    const QChar letter = name.at(at + kMarker.size()).toUpper();
    if (letter < QLatin1Char('A') || letter > QLatin1Char('Z'))
        return QChar();
    return letter;
}

QString driveRoot(QChar letter) {
    if (letter.isNull())
        return QString();
    const auto drive = platform::driveByLetter(letter);
    return drive ? drive->root : QString();
}

bool isOriginalRoot(const QString& folder, QChar letter) {
    if (letter.isNull() || folder.isEmpty())
        return false;
    const auto drive = platform::driveOfPath(folder);
    return drive && drive->letter == letter.toUpper() && platform::isDriveRoot(folder);
}

Result<> makeFolderPath(const QString& path) {
    const QString clean = QDir::cleanPath(QDir(platform::currentFolder()).absoluteFilePath(path));
    QString why;
    const bool made = platform::makeFolderPath(clean, 0777, &why);
    return Result<>::from(made, why);
}

} // namespace zipdest
