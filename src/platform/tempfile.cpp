#include "platform/tempfile.h"

#include "platform/internal.h"
#include "platform/names.h"

#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace platform {

QString temporaryFolder() {
    const QString fromEnvironment = decodeName(qgetenv("TMPDIR"));
    if (!fromEnvironment.isEmpty() && QFileInfo(fromEnvironment).isDir())
        return internal::stripTrailingSlash(fromEnvironment);
    return QStringLiteral("/tmp");
}

QString createTemporaryFile(const QString& prefix, QString* error) {
    QByteArray name = encodeName(temporaryFolder() + QLatin1Char('/') + prefix) + "XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        internal::failWith(error, errno);
        return QString();
    }
    if (::close(fd) != 0) {
        const int code = errno;
        (void)::unlink(name.constData());
        internal::failWith(error, code);
        return QString();
    }
    return decodeName(name);
}

} // namespace platform
