#pragma once

// Support for the archive tests: archives made directly with libzip (entries no writer of the
// program would make), random contents, reading whole archives back.

#include "app/crc32.h"
#include "zip/libzip.h"
#include "zip/zipreader.h"

#include <QByteArray>
#include <QMap>
#include <QRandomGenerator>
#include <QString>
#include <optional>
#include <vector>

namespace archivekit {

// The strongest encryption this libzip can write.
inline lz::zip_uint16_t encryptionMethod() {
    return lz::zip_encryption_method_supported(ZIP_EM_AES_256, 1) ? ZIP_EM_AES_256
                                                                  : ZIP_EM_TRAD_PKWARE;
}

struct RawEntry {
    QByteArray name;
    QByteArray data;
    std::optional<quint32> unixMode; // type and permissions
    QByteArray password;             // encrypts the entry when set
};

// Writes an archive with exactly these entries (deflated).  False when libzip refuses.
inline bool writeRaw(const QString& path, const std::vector<RawEntry>& entries) {
    using namespace lz;
    int code = 0;
    zip_t* archive = zip_open(path.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive)
        return false;
    for (const RawEntry& e : entries) {
        zip_source_t* source =
            zip_source_buffer(archive, e.data.constData(), zip_uint64_t(e.data.size()), 0);
        const zip_int64_t index =
            e.name.endsWith('/')
                ? zip_dir_add(archive, e.name.constData(), ZIP_FL_ENC_RAW)
                : zip_file_add(archive, e.name.constData(), source, ZIP_FL_ENC_RAW);
        if (e.name.endsWith('/'))
            zip_source_free(source);
        if (index < 0) {
            zip_discard(archive);
            return false;
        }
        if (e.unixMode)
            zip_file_set_external_attributes(archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                             *e.unixMode << 16);
        if (!e.password.isEmpty() &&
            zip_file_set_encryption(archive, zip_uint64_t(index), encryptionMethod(),
                                    e.password.constData()) != 0) {
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

inline QByteArray randomBytes(qsizetype size, quint32 seed) {
    QRandomGenerator generator(seed);
    QByteArray out(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        out[i] = char(generator.bounded(256));
    return out;
}

// An archive of stored entries written byte by byte, each claiming in a Zip64 field to hold
// claimedSize bytes while it holds only its data: the sizes a damaged or hostile archive shows.
inline QByteArray zip64Claims(const QList<QByteArray>& names, const QByteArray& data,
                              quint64 claimedSize) {
    QByteArray local, central;
    const auto le = [](QByteArray& out, quint64 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.append(char((value >> (8 * i)) & 0xFF));
    };
    const quint32 crc = crc32::checksum(0, data.constData(), data.size());
    for (const QByteArray& name : names) {
        const auto offset = quint32(local.size());
        QByteArray extra;
        le(extra, 1, 2); // Zip64 extended information: the uncompressed size only
        le(extra, 8, 2);
        le(extra, claimedSize, 8);
        // The fields both headers share, from the version needed to extract on: version 4.5,
        // no flags, stored, a time and date, the CRC, the sizes, the lengths of name and extra.
        const auto shared = [&](QByteArray& out) {
            le(out, 45, 2);
            out.append(2 + 2, '\0');
            le(out, 0x00210000, 4);
            le(out, crc, 4);
            le(out, quint64(data.size()), 4);
            le(out, 0xFFFFFFFF, 4);
            le(out, quint64(name.size()), 2);
            le(out, quint64(extra.size()), 2);
        };
        le(local, 0x04034b50, 4);
        shared(local);
        local += name + extra + data;
        // The central header adds the version made by in front, and the comment length, disk,
        // attributes and the local header's offset after.
        le(central, 0x02014b50, 4);
        le(central, 45, 2);
        shared(central);
        central.append(2 + 2 + 2 + 4, '\0');
        le(central, offset, 4);
        central += name + extra;
    }
    QByteArray end;
    le(end, 0x06054b50, 4);
    le(end, 0, 4);
    le(end, quint64(names.size()), 2);
    le(end, quint64(names.size()), 2);
    le(end, quint64(central.size()), 4);
    le(end, quint64(local.size()), 4);
    le(end, 0, 2);
    return local + central + end;
}

// Stored name -> uncompressed content of every file entry of an archive.
inline QMap<QString, QByteArray> contents(const QString& path) {
    using namespace lz;
    QMap<QString, QByteArray> out;
    int code = 0;
    zip_t* archive = zip_open(path.toUtf8().constData(), ZIP_RDONLY, &code);
    if (!archive)
        return out;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_index(archive, zip_uint64_t(i), ZIP_FL_ENC_RAW, &st);
        QByteArray data(qsizetype(st.size), Qt::Uninitialized);
        zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        if (file) {
            const zip_int64_t got = zip_fread(file, data.data(), st.size);
            data.resize(got < 0 ? 0 : qsizetype(got));
            zip_fclose(file);
        }
        out.insert(QString::fromUtf8(st.name), data);
    }
    zip_discard(archive);
    return out;
}

} // namespace archivekit
