#pragma once

#include "zip/libzip.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

// Pieces of the zip format shared by the writer and the reader.
namespace zip::format {

using namespace lz;

// The "extended timestamp" extra field (header ID 0x5455) that holds the time of last write
// in seconds since the epoch, exact and independent of the time zone, beside the packed local
// date and time of the entry.
constexpr zip_uint16_t kTimestampFieldId = 0x5455;

// The field's data with the time of last write only; empty when the time does not fit its
// signed 32 bits.
QByteArray timestampField(qint64 epochSeconds);

// The time of last write of a field's data, if it holds one.
std::optional<qint64> readTimestampField(const zip_uint8_t* data, zip_uint16_t size);

// The Unix file type in the upper 16 bits of an entry's external attributes (host system 3).
constexpr quint32 kUnixTypeMask = 0170000;
constexpr quint32 kUnixRegular = 0100000;
constexpr quint32 kUnixFolder = 0040000;
constexpr quint32 kUnixLink = 0120000;

// libzip's text for one of its error codes.
QString errorText(int zipError);
// libzip's text for an error, with the system's reason where it has one.
QString errorText(const zip_error_t* error);

} // namespace zip::format
