#pragma once

#include <QByteArray>
#include <QString>

// File names as the kernel knows them are bytes; the program shows and handles them as text.
// Names that are valid UTF-8 decode as usual.  Every byte of a name that is not valid UTF-8
// becomes the lone surrogate U+DC00 + byte, and encoding turns such a surrogate back into its
// byte, so that a name read from a folder always finds the same file again, whatever its bytes.
namespace platform {

QString decodeName(const char* bytes, qsizetype length);
inline QString decodeName(const QByteArray& bytes) {
    return decodeName(bytes.constData(), bytes.size());
}

QByteArray encodeName(const QString& name);

} // namespace platform
