#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// What the file details window shows of one file, as texts.
namespace browse {

// Clusters a file of `size` bytes occupies: size / clusterSize, plus one for a remainder.
qint64 clustersUsed(qint64 size, quint64 clusterSize);

// "Cluster size: 32,768  Clusters used : 3"; empty when the cluster size is unknown (0).
QString clusterLine(qint64 size, quint64 clusterSize);

// The cluster size of the drive holding the path (statvfs of its root); 0 when unknown.
quint64 clusterSizeOf(const QString& path);

// " ReadOnly Hidden System VolumeID Directory Archive", each word the file has, in that order.
QString attributeText(quint32 attributes);

// The date in the short date format, two blanks and how long ago it was; "???" for no time (0).
QString fileDateText(qint64 epochSeconds, const QDateTime& now);

struct FileDetails {
    bool found = false; // false: the path could not be looked up, nothing else is filled in
    QString fileName;   // the path as given
    QString fileType;
    QString sizeBytes; // "65,536 bytes"
    QString sizeK;     // the cluster line
    QString create, modify, access;
    QString attributes;
    bool isFolder = false;
    QStringList versionLines; // separated by TABs
};

// Looks the path up (any entry) and fills the details.
FileDetails readFileDetails(const QString& path, const QDateTime& now);

// The lines of the printed details.
QStringList detailsPrintLines(const FileDetails& details);

// "File details of " + the path.
QString detailsPrintTitle(const QString& path);

} // namespace browse
