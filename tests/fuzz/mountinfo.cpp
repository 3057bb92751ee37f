// Reads any bytes as a mount table and as a drive map, and checks the drive letters given out.

#include "fuzzsupport.h"
#include "platform/drives.h"

#include <QCryptographicHash>

namespace {

void checkLetters(const QList<platform::Drive>& drives) {
    for (qsizetype i = 0; i < drives.size(); ++i) {
        const platform::Drive& d = drives[i];
        fuzz::expect(d.letter >= QChar('C') && d.letter <= QChar('Z'), "a letter out of range");
        fuzz::expect(i == 0 || drives[i - 1].letter < d.letter, "letters not rising");
        fuzz::expect(d.root.startsWith('/'), "a root that is not absolute");
        fuzz::expect(d.root == QLatin1String("/") || !d.root.endsWith('/'), "a trailing slash");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QList<platform::MountEntry> mounts = platform::parseMountInfo(bytes);
    QList<platform::MountEntry> lineByLine;
    for (const QByteArray& line : bytes.split('\n')) {
        if (const auto e = platform::parseMountInfoLine(line))
            lineByLine << *e;
    }
    fuzz::expect(mounts.size() == lineByLine.size(), "the table is its lines");
    QStringList points;
    for (qsizetype i = 0; i < mounts.size(); ++i) {
        fuzz::expect(mounts[i].mountPoint == lineByLine[i].mountPoint &&
                         mounts[i].fsType == lineByLine[i].fsType &&
                         mounts[i].device == lineByLine[i].device,
                     "the table is its lines");
        fuzz::expect(!mounts[i].mountPoint.isEmpty() && !mounts[i].fsType.isEmpty(),
                     "an empty mount point or type");
        points << mounts[i].mountPoint;
    }

    // Which mount points are folders: decided by a hash, so that the answer is repeatable.
    const auto isFolder = [](const QString& path) {
        return QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Md5).at(0) & 1;
    };
    const QList<platform::Drive> drives = platform::assignDriveLetters(mounts, isFolder);
    checkLetters(drives);
    fuzz::expect(!drives.isEmpty() && drives.first().letter == QChar('C') &&
                     drives.first().root == QLatin1String("/"),
                 "drive C is /");
    for (qsizetype i = 1; i < drives.size(); ++i) {
        fuzz::expect(drives[i].root != QLatin1String("/"), "/ twice");
        fuzz::expect(drives[i - 1].letter.unicode() + 1 == drives[i].letter.unicode(),
                     "a letter left out");
    }

    checkLetters(platform::parseDriveMap(QString::fromUtf8(bytes)));
    return 0;
}
