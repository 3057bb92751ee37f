#include "delete/unzip.h"

#include "platform/dirsearch.h"

#include <algorithm>

namespace unzip {

const char* const kArchiveMask = "Drive*.zip";

bool isArchiveName(const QString& fileName) {
    return platform::matchesWildcard(fileName, QString::fromLatin1(kArchiveMask));
}

QStringList archiveFiles(const QString& folder) {
    QStringList names;
    platform::DirSearch search;
    if (!search.open(folder))
        return names;
    // Regular files only: no folders, links or devices, whatever their names.
    search.start(QString::fromLatin1(kArchiveMask), platform::faReadOnly | platform::faArchive);
    platform::DirEntry entry;
    while (search.next(&entry))
        names << entry.name;
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

QString countText(qint64 files) {
    return QStringLiteral("%1 files").arg(files);
}

QString cannotExtractText(const zip::ExtractFailure& failure, const QString& archivePath) {
    const QString name = archivePath.mid(archivePath.lastIndexOf(QLatin1Char('/')) + 1);
    return QStringLiteral("Cannot extract ") + failure.entry + QStringLiteral(" from ") + name;
}

QString unzippedText(const zip::ZipReader::ExtractResult& result) {
    if (result.failed == 0)
        return QStringLiteral("Files were unzipped");
    return QStringLiteral("%1 of %2 files were unzipped; %3 could not be unzipped")
        .arg(result.extracted)
        .arg(result.extracted + result.failed)
        .arg(result.failed);
}

QString noArchivesNotice() {
    return QStringLiteral(
        "It appears that there are no archive zip files in this folder for Vastel to unzip.  "
        "\n\nNote that Vastel can only unzip those files that have been originally zipped by "
        "Vastel.  It should not be used to unzip other non Vastel zip files.");
}

} // namespace unzip
