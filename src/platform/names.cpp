#include "platform/names.h"

namespace platform {

namespace {

// Length of the valid UTF-8 sequence at p (at most n bytes available), 0 when not valid.
int validSequence(const unsigned char* p, qsizetype n) {
    const unsigned char c = p[0];
    int len;
    char32_t min;
    char32_t cp;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
        min = 0x80;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        min = 0x800;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        min = 0x10000;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (n < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

} // namespace

QString decodeName(const char* bytes, qsizetype length) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    qsizetype i = 0;
    while (i < length && p[i] < 0x80)
        ++i;
    if (i == length)
        return QString::fromLatin1(bytes, length);
    bool valid = true;
    for (qsizetype j = i; j < length;) {
        const int len = validSequence(p + j, length - j);
        if (len == 0) {
            valid = false;
            break;
        }
        j += len;
    }
    if (valid)
        return QString::fromUtf8(bytes, length);

    QString out;
    out.reserve(length);
    for (qsizetype j = 0; j < length;) {
        const int len = validSequence(p + j, length - j);
        if (len == 0) {
            out.append(QChar(char16_t(0xDC00 + p[j])));
            ++j;
        } else {
            out.append(QString::fromUtf8(bytes + j, len));
            j += len;
        }
    }
    return out;
}

QByteArray encodeName(const QString& name) {
    const qsizetype n = name.size();
    const QChar* s = name.constData();
    bool plain = true;
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i].isSurrogate()) {
            plain = false;
            break;
        }
    }
    if (plain)
        return name.toUtf8();

    QByteArray out;
    out.reserve(n * 3);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = s[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(s[i + 1].unicode())) {
            out.append(QString(s + i, 2).toUtf8());
            ++i;
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            out.append(char(u - 0xDC00));
        } else {
            out.append(QString(s + i, 1).toUtf8());
        }
    }
    return out;
}

} // namespace platform
