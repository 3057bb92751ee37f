#include "platform/fileops.h"

#include "platform/internal.h"
#include "platform/names.h"

#include <QStringList>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace internal {

QString systemMessage(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

bool failWith(QString* error, int code) {
    if (error)
        *error = systemMessage(code);
    return false;
}

} // namespace internal

using internal::failWith;

bool removeFile(const QString& path, QString* error) {
    const QByteArray native = encodeName(path);
    if (::unlink(native.constData()) == 0)
        return true;
    return failWith(error, errno);
}

bool removeFolder(const QString& path, QString* error) {
    const QByteArray native = encodeName(path);
    if (::rmdir(native.constData()) == 0)
        return true;
    return failWith(error, errno);
}

bool makeFolder(const QString& path, QString* error) {
    return makeFolder(path, 0777, error);
}

bool makeFolder(const QString& path, quint32 mode, QString* error) {
    const QByteArray native = encodeName(path);
    if (::mkdir(native.constData(), mode_t(mode)) == 0)
        return true;
    const int code = errno;
    struct stat st;
    if (code == EEXIST && ::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    return failWith(error, code);
}

bool makeFolderPath(const QString& path, quint32 mode, QString* error) {
    QString prefix;
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        prefix += QLatin1Char('/') + part;
        if (!makeFolder(prefix, mode, error))
            return false;
    }
    return true;
}

} // namespace platform
