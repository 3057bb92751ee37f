#include "browse/details.h"

#include "app/filetime.h"
#include "app/format.h"
#include "browse/versioninfo.h"
#include "platform/dirsearch.h"
#include "platform/drives.h"
#include "stats/filetypes.h"

namespace browse {

qint64 clustersUsed(qint64 size, quint64 clusterSize) {
    if (clusterSize == 0 || size <= 0)
        return 0;
    const auto cluster = qint64(clusterSize);
    return size / cluster + (size % cluster ? 1 : 0);
}

QString clusterLine(qint64 size, quint64 clusterSize) {
    if (clusterSize == 0)
        return QString();
    return QStringLiteral("Cluster size: ") + FormatThousands(qint64(clusterSize)) +
           QStringLiteral("  Clusters used : ") + FormatThousands(clustersUsed(size, clusterSize));
}

quint64 clusterSizeOf(const QString& path) {
    const auto drive = platform::driveOfPath(path);
    platform::DiskGeometry geometry;
    if (!drive || !platform::diskGeometry(drive->letter, &geometry))
        return 0;
    return geometry.clusterSize();
}

QString attributeText(quint32 attributes) {
    const struct {
        quint32 bit;
        const char* word;
    } words[] = {{platform::faReadOnly, " ReadOnly"},   {platform::faHidden, " Hidden"},
                 {platform::faSysFile, " System"},      {platform::faVolumeId, " VolumeID"},
                 {platform::faDirectory, " Directory"}, {platform::faArchive, " Archive"}};
    QString text;
    for (const auto& w : words) {
        if (attributes & w.bit)
            text += QLatin1String(w.word);
    }
    return text;
}

QString fileDateText(qint64 epochSeconds, const QDateTime& now) {
    const QDateTime local = filetime::toLocal(epochSeconds);
    if (!local.isValid())
        return QStringLiteral("???");
    return SafeDateToStr(local) + QStringLiteral("  ") + RelativeDate(local, now);
}

FileDetails readFileDetails(const QString& path, const QDateTime& now) {
    FileDetails d;
    platform::DirEntry entry;
    if (!platform::lookUpEntry(path, &entry))
        return d;
    d.found = true;
    d.isFolder = entry.attributes & platform::faDirectory;
    if (!d.isFolder)
        d.versionLines = versionInfoLines(path, true);
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    d.fileType = fileTypeDescriptionOfName(name);
    d.fileName = path;
    d.sizeBytes = FormatThousands(entry.size) + QStringLiteral(" bytes");
    d.sizeK = clusterLine(entry.size, clusterSizeOf(path));
    d.access = fileDateText(entry.accessTime, now);
    d.create = fileDateText(entry.creationTime, now);
    d.modify = fileDateText(entry.writeTime, now);
    d.attributes = attributeText(entry.attributes);
    return d;
}

QStringList detailsPrintLines(const FileDetails& d) {
    const QString tab = QStringLiteral("\t");
    const QString blank = QStringLiteral(" ");
    QStringList lines{QStringLiteral("Name of file : ") + tab + d.fileName,
                      QStringLiteral("Type of file : ") + tab + d.fileType,
                      blank,
                      QStringLiteral("Size of file : ") + tab + d.sizeBytes,
                      QString(15, QLatin1Char(' ')) + tab + d.sizeK,
                      blank,
                      QStringLiteral("Creation date     : ") + tab + d.create,
                      QStringLiteral("Modification date : ") + tab + d.modify,
                      QStringLiteral("Access date       : ") + tab + d.access,
                      blank,
                      QStringLiteral("Attributes : ") + tab + d.attributes,
                      blank};
    lines += d.versionLines;
    return lines;
}

QString detailsPrintTitle(const QString& path) {
    return QStringLiteral("File details of ") + path;
}

} // namespace browse
