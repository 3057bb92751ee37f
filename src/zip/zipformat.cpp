#include "zip/zipformat.h"

#include <array>

namespace zip::format {

namespace {

// Tables for reading eight bytes per step ("slicing by eight"): table 0 is the classic
// byte-at-a-time table, table k advances a byte that lies k positions further back.
using CrcTables = std::array<std::array<quint32, 256>, 8>;

constexpr CrcTables makeCrcTables() {
    CrcTables t{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (quint32 n = 0; n < 256; ++n) {
        for (int k = 1; k < 8; ++k)
            t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    }
    return t;
}

constexpr CrcTables kCrc = makeCrcTables();

// Bit 0 of the field's flags: the time of last write follows.
constexpr zip_uint8_t kHasModificationTime = 1;

} // namespace

quint32 crc32(quint32 crc, const char* data, qsizetype size) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    crc = ~crc;
    for (; size >= 8; p += 8, size -= 8) {
        const quint32 low =
            crc ^ (quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
        crc = kCrc[7][low & 0xFF] ^ kCrc[6][(low >> 8) & 0xFF] ^ kCrc[5][(low >> 16) & 0xFF] ^
              kCrc[4][low >> 24] ^ kCrc[3][p[4]] ^ kCrc[2][p[5]] ^ kCrc[1][p[6]] ^ kCrc[0][p[7]];
    }
    for (; size > 0; ++p, --size)
        crc = kCrc[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

QByteArray timestampField(qint64 epochSeconds) {
    if (epochSeconds < INT32_MIN || epochSeconds > INT32_MAX)
        return QByteArray();
    const auto t = quint32(qint32(epochSeconds));
    QByteArray out(5, '\0');
    out[0] = char(kHasModificationTime);
    for (int i = 0; i < 4; ++i)
        out[1 + i] = char((t >> (8 * i)) & 0xFF);
    return out;
}

std::optional<qint64> readTimestampField(const zip_uint8_t* data, zip_uint16_t size) {
    if (!data || size < 5 || !(data[0] & kHasModificationTime))
        return std::nullopt;
    quint32 t = 0;
    for (int i = 0; i < 4; ++i)
        t |= quint32(data[1 + i]) << (8 * i);
    return qint64(qint32(t));
}

QString errorText(int zipError) {
    zip_error_t error;
    zip_error_init_with_code(&error, zipError);
    const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

QString errorText(const zip_error_t* error) {
    // zip_error_strerror caches its text in the error, hence the copy.
    zip_error_t copy;
    zip_error_init(&copy);
    zip_error_set(&copy, zip_error_code_zip(error), zip_error_code_system(error));
    const QString text = QString::fromLocal8Bit(zip_error_strerror(&copy));
    zip_error_fini(&copy);
    return text;
}

} // namespace zip::format
