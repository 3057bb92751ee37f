#include "delete/ownarchives.h"

#include "app/inifile.h"
#include "app/zipsettings.h"
#include "delete/unzip.h"
#include "platform/environment.h"
#include "platform/paths.h"

namespace ownarchives {

namespace {

// A folder as compared here: canonical, without a "/" at the end (but "/" itself).
QString comparable(const QString& folder) {
    QString path = platform::canonicalPath(folder);
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QString onlyCopiesText(bool one) {
    return one ? QStringLiteral("It may hold the only copies of the files zipped into it.")
               : QStringLiteral("They may hold the only copies of the files zipped into them.");
}

QString archivesText(qsizetype count) {
    return count == 1 ? QStringLiteral("1 archive") : QStringLiteral("%1 archives").arg(count);
}

} // namespace

QStringList zipFoldersOfWorld(const QString& also) {
    QStringList folders = {readZipPath(settingsFile(), platform::places().homeDir)};
    if (!also.isEmpty())
        folders << also;
    return folders;
}

bool isOwnArchive(const QString& path, const QStringList& zipFolders) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 || !unzip::isArchiveName(path.mid(slash + 1)))
        return false;
    const QString folder = comparable(platform::parentFolder(path));
    for (const QString& zipFolder : zipFolders)
        if (comparable(archiveFolder(zipFolder)) == folder)
            return true;
    return false;
}

QStringList archivesAmong(const QStringList& paths, const QStringList& zipFolders) {
    QStringList archives;
    for (const QString& path : paths)
        if (isOwnArchive(path, zipFolders))
            archives << path;
    return archives;
}

qsizetype archivesInFolder(const QString& folder, const QStringList& zipFolders) {
    const QString top = comparable(folder);
    QStringList counted; // a zip folder named twice is counted once
    qsizetype count = 0;
    for (const QString& zipFolder : zipFolders) {
        const QString inside = comparable(archiveFolder(zipFolder));
        if (counted.contains(inside))
            continue;
        counted << inside;
        if (inside == top || !platform::pathBelow(top, inside).isNull())
            count += unzip::archiveFiles(inside).size();
    }
    return count;
}

QString filesQuestion(qsizetype count) {
    const bool one = count == 1;
    return QStringLiteral("The files to dispose of include ") + archivesText(count) +
           QStringLiteral(" that Vastel wrote into its zip folder.  ") + onlyCopiesText(one) +
           (one ? QStringLiteral("\n\nDispose of this archive too?  No keeps it.")
                : QStringLiteral("\n\nDispose of these archives too?  No keeps them."));
}

QString folderQuestion(const QString& folder, qsizetype count) {
    const bool one = count == 1;
    return QStringLiteral("The folder \"") + folder + QStringLiteral("\" holds ") +
           archivesText(count) + QStringLiteral(" that Vastel wrote into its zip folder.  ") +
           onlyCopiesText(one) +
           (one ? QStringLiteral("\n\nDispose of the folder with this archive?  No keeps it.")
                : QStringLiteral("\n\nDispose of the folder with these archives?  No keeps "
                                 "them."));
}

HeldBack holdBack(ListedFiles& files, const QStringList& zipFolders, bool include,
                  const std::function<void(const QString& line)>& warn) {
    HeldBack held;
    if (include)
        return held;
    ListedFiles rest;
    rest.reserve(files.size());
    for (const ListedFile& file : files) {
        if (!isOwnArchive(file.path, zipFolders)) {
            rest.append(file);
            continue;
        }
        ++held.count;
        if (file.identity.known())
            held.bytes += file.identity.size;
        if (warn)
            warn(file.path + QStringLiteral(" is an archive Vastel wrote; kept (add "
                                            "--include-archives to dispose of it too)"));
    }
    files = rest;
    return held;
}

} // namespace ownarchives
