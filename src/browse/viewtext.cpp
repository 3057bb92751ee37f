#include "browse/viewtext.h"

#include <algorithm>

namespace browse {

namespace {

// The length of the valid UTF-8 sequence at data[i] (2 to 4), and its code point; 0 when the
// bytes there are not one.
int utf8Sequence(const QByteArray& data, int i, char32_t* code) {
    const auto lead = uchar(data[i]);
    int length = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > data.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const auto c = uchar(data[i + k]);
        if ((c & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((length == 3 && value < 0x800) || (length == 4 && (value < 0x10000 || value > 0x10FFFF)) ||
        (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *code = value;
    return length;
}

const char kHexDigits[] = "0123456789abcdef";

} // namespace

int ShownLine::byteAtColumn(int column) const {
    const auto it = std::lower_bound(columnOfByte.cbegin(), columnOfByte.cend(), column);
    return int(std::min<qsizetype>(it - columnOfByte.cbegin(), columnOfByte.size() - 1));
}

ShownLine showTextLine(const QByteArray& bytes, bool expandTabs, int tabSize, int maxColumns) {
    ShownLine line;
    line.columnOfByte.reserve(bytes.size() + 1);
    line.text.reserve(std::min<qsizetype>(bytes.size(), maxColumns));
    const int tab = std::max(1, tabSize);
    int i = 0;
    while (i < bytes.size()) {
        const int column = int(line.text.size());
        const auto b = uchar(bytes[i]);
        char32_t code = b;
        int length = b >= 0x80 ? utf8Sequence(bytes, i, &code) : 1;
        if (length == 0)
            length = 1; // a byte that is no UTF-8: its Latin-1 character
        for (int k = 0; k < length; ++k)
            line.columnOfByte.append(column);
        if (column >= maxColumns) {
            i += length;
            continue;
        }
        if (b == '\t') {
            const int blanks = expandTabs ? tab - column % tab : 1;
            line.text.append(QString(blanks, QLatin1Char(' ')));
        } else if (code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0)) {
            line.text.append(QLatin1Char('.'));
        } else if (code > 0xFFFF) {
            const char32_t c = code;
            line.text.append(QString::fromUcs4(&c, 1));
        } else {
            line.text.append(QChar(char16_t(code)));
        }
        i += length;
    }
    line.columnOfByte.append(int(line.text.size()));
    if (line.text.size() > maxColumns)
        line.text.truncate(maxColumns);
    return line;
}

int hexOffsetDigits(qint64 fileSize) {
    int digits = 8;
    while (digits < 16 && (fileSize - 1) >> (4 * digits) > 0)
        ++digits;
    return digits;
}

int hexDigitsColumn(int byteInLine, int offsetDigits) {
    return offsetDigits + 2 + byteInLine * 3 + (byteInLine >= 8 ? 1 : 0);
}

int hexTextColumn(int offsetDigits) {
    return hexDigitsColumn(kHexBytesPerLine, offsetDigits) + 1;
}

QString hexLine(qint64 offset, const QByteArray& bytes, int offsetDigits) {
    QString line(hexTextColumn(offsetDigits) + kHexBytesPerLine, QLatin1Char(' '));
    for (int d = 0; d < offsetDigits; ++d)
        line[offsetDigits - 1 - d] = QLatin1Char(kHexDigits[(offset >> (4 * d)) & 0xF]);
    const int count = std::min<int>(int(bytes.size()), kHexBytesPerLine);
    for (int k = 0; k < count; ++k) {
        const auto b = uchar(bytes[k]);
        const int at = hexDigitsColumn(k, offsetDigits);
        line[at] = QLatin1Char(kHexDigits[b >> 4]);
        line[at + 1] = QLatin1Char(kHexDigits[b & 0xF]);
        line[hexTextColumn(offsetDigits) + k] =
            (b >= 0x20 && b < 0x7F) ? QLatin1Char(char(b)) : QLatin1Char('.');
    }
    line.truncate(hexTextColumn(offsetDigits) + count);
    return line;
}

} // namespace browse
