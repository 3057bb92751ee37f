#include "platform/paths.h"

#include "platform/internal.h"
#include "platform/names.h"

#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// realpath(3) of a path; a null string when the path cannot be resolved.
QString resolved(const QString& path) {
    char* r = ::realpath(encodeName(path).constData(), nullptr);
    if (!r)
        return QString();
    const QString out = decodeName(QByteArray(r));
    std::free(r);
    return out;
}

bool statPath(const QString& path, struct stat* st) {
    return !path.isEmpty() && ::stat(encodeName(path).constData(), st) == 0;
}

} // namespace

QString joinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString parentFolder(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString pathBelow(const QString& folder, const QString& path) {
    if (folder == QLatin1String("/"))
        return path.size() > 1 && path.startsWith(QLatin1Char('/')) ? path.mid(1) : QString();
    if (path.size() > folder.size() + 1 && path.startsWith(folder) &&
        path.at(folder.size()) == QLatin1Char('/'))
        return path.mid(folder.size() + 1);
    return QString();
}

QString canonicalPath(const QString& path) {
    if (path.isEmpty())
        return QString();
    const QString whole = resolved(path);
    if (!whole.isNull())
        return whole;

    // The path does not exist (or cannot be resolved).  Resolve component by component as long
    // as the components exist, so that symbolic links in the existing part are followed in the
    // order the kernel would follow them; the rest is kept as text with "." and ".." applied.
    QString absolute = path;
    if (!absolute.startsWith('/'))
        absolute = joinPath(currentFolder(), absolute);
    QString out = QStringLiteral("/");
    int missing = 0; // components at the end of out that do not exist
    for (const QString& part : absolute.split('/', Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            out = parentFolder(out);
            missing = std::max(0, missing - 1);
            continue;
        }
        const QString next = joinPath(out, part);
        if (missing > 0) {
            out = next;
            ++missing;
            continue;
        }
        // `out` is resolved already: only a link as the new component needs resolving again.
        // Past the longest path the system takes, the rest stays text.
        struct stat st {};
        const QByteArray native = encodeName(next);
        if (native.size() >= PATH_MAX || ::lstat(native.constData(), &st) != 0) {
            out = next;
            ++missing;
            continue;
        }
        if (!S_ISLNK(st.st_mode)) {
            out = next;
            continue;
        }
        const QString r = resolved(next);
        if (r.isNull()) {
            out = next;
            ++missing;
        } else {
            out = r;
        }
    }
    return out;
}

bool pathExists(const QString& path) {
    struct stat st {};
    return statPath(path, &st);
}

bool isDirectory(const QString& path) {
    struct stat st {};
    return statPath(path, &st) && S_ISDIR(st.st_mode);
}

bool isSymLink(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::lstat(encodeName(path).constData(), &st) == 0 &&
           S_ISLNK(st.st_mode);
}

FileResult writableFolder(const QString& path) {
    struct stat st {};
    if (!statPath(path, &st))
        return FileResult::failed(internal::systemMessage(path.isEmpty() ? ENOENT : errno));
    if (!S_ISDIR(st.st_mode))
        return FileResult::failed(internal::systemMessage(ENOTDIR));
    if (::access(encodeName(path).constData(), W_OK | X_OK) != 0)
        return FileResult::failed(internal::systemMessage(errno));
    return FileResult::done();
}

QString currentFolder() {
    char* cwd = ::getcwd(nullptr, 0);
    if (!cwd)
        return QString();
    const QString out = decodeName(QByteArray(cwd));
    std::free(cwd);
    return out;
}

bool setCurrentFolder(const QString& path, QString* error) {
    if (!path.isEmpty() && ::chdir(encodeName(path).constData()) == 0)
        return true;
    if (error)
        *error = internal::systemMessage(path.isEmpty() ? ENOENT : errno);
    return false;
}

} // namespace platform
