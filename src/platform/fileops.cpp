#include "platform/fileops.h"

#include "platform/names.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool fail(QString* error, int code) {
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(code));
    return false;
}

} // namespace

bool removeFile(const QString& path, QString* error) {
    const QByteArray native = encodeName(path);
    if (::unlink(native.constData()) == 0)
        return true;
    return fail(error, errno);
}

bool removeFolder(const QString& path, QString* error) {
    const QByteArray native = encodeName(path);
    if (::rmdir(native.constData()) == 0)
        return true;
    return fail(error, errno);
}

bool makeFolder(const QString& path, QString* error) {
    const QByteArray native = encodeName(path);
    if (::mkdir(native.constData(), 0777) == 0)
        return true;
    const int code = errno;
    struct stat st;
    if (code == EEXIST && ::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    return fail(error, code);
}

} // namespace platform
