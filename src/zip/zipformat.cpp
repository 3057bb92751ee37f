#include "zip/zipformat.h"

namespace zip::format {

namespace {

// Bit 0 of the field's flags: the time of last write follows.
constexpr zip_uint8_t kHasModificationTime = 1;

} // namespace

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
