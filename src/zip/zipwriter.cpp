#include "zip/zipwriter.h"

#include "app/crc32.h"
#include "platform/drives.h"
#include "platform/filesync.h"
#include "platform/names.h"
#include "platform/paths.h"
#include "zip/zipformat.h"

#include <QHash>
#include <algorithm>
#include <utility>
#include <vector>

namespace zip {

using namespace lz;

namespace {

// Comments longer than this are cut.
constexpr int kCommentLength = 80;
// Times a batch is written again without the files that could not be read.
constexpr int kMaxRetries = 3;
// Deflate level: the usual balance of size and speed.  libzip's own default is level 9, which
// takes about twice as long for a few per cent.
constexpr zip_uint32_t kDeflateLevel = 6;
// Read size when checking an entry that was written.
constexpr qsizetype kCheckChunk = 256 * 1024;

QString cutComment(const QString& comment) {
    QString out = comment.left(kCommentLength);
    if (!out.isEmpty() && out.back().isHighSurrogate())
        out.chop(1);
    return out;
}

// One file of the pending batch.  It also serves as the libzip source of its data: libzip reads
// the file through sourceCallback while it writes the archive, and the CRC-32 and size of what
// it read are kept to check the entry afterwards.
struct Item {
    QString fullPath;
    QByteArray entryName;
    platform::FileStamp stamp;
    QString failure; // why the file is not stored; empty while it may still be

    // State of one attempt to write the batch.
    std::unique_ptr<QFile> file;
    qint64 bytesRead = 0;
    quint32 crc = 0;
    bool readFailed = false;
    zip_error_t error;

    Item() { zip_error_init(&error); }
    ~Item() { zip_error_fini(&error); }
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;

    void resetAttempt() {
        file.reset();
        bytesRead = 0;
        crc = 0;
        readFailed = false;
        zip_error_fini(&error);
        zip_error_init(&error);
    }

    zip_int64_t readFailure(int code, const QString& why) {
        readFailed = true;
        failure = why;
        zip_error_set(&error, code, 0);
        return -1;
    }
};

zip_int64_t sourceCallback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t cmd) {
    auto* item = static_cast<Item*>(state);
    switch (cmd) {
    case ZIP_SOURCE_OPEN: {
        QString why;
        item->file = platform::openForReading(item->fullPath, &why);
        if (!item->file)
            return item->readFailure(ZIP_ER_OPEN, why);
        item->bytesRead = 0;
        item->crc = 0;
        return 0;
    }
    case ZIP_SOURCE_READ: {
        if (!item->file)
            return item->readFailure(ZIP_ER_INTERNAL, QStringLiteral("read before open"));
        // Exactly the size announced by ZIP_SOURCE_STAT is read; a file that changed in the
        // meantime is caught by the check after writing.
        const qint64 wanted = std::min<qint64>(qint64(length), item->stamp.size - item->bytesRead);
        if (wanted <= 0)
            return 0;
        const qint64 got = item->file->read(static_cast<char*>(data), wanted);
        if (got < 0)
            return item->readFailure(ZIP_ER_READ, item->file->errorString());
        if (got == 0)
            return item->readFailure(ZIP_ER_EOF,
                                     QStringLiteral("the file got shorter while it was read"));
        item->crc = ::crc32::checksum(item->crc, data, got);
        item->bytesRead += got;
        return got;
    }
    case ZIP_SOURCE_CLOSE:
        item->file.reset();
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &item->error);
        if (!st)
            return -1;
        zip_stat_init(st);
        st->size = zip_uint64_t(item->stamp.size);
        st->mtime = time_t(item->stamp.modifiedSeconds);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
        return sizeof(*st);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&item->error, data, length);
    case ZIP_SOURCE_FREE:
        return 0; // the item belongs to the writer
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                              ZIP_SOURCE_SUPPORTS, -1);
    default:
        zip_error_set(&item->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

} // namespace

struct ZipWriter::Impl {
    QString path;       // as given to open()
    QString nativePath; // canonical: what libzip opens and writes
    zip_t* archive = nullptr;
    QString baseFolder; // canonical, empty for none
    QString comment;
    bool commentSet = false;
    std::function<bool(int)> progress;
    int lastPercent = -1;
    bool abortAsked = false;

    std::vector<std::unique_ptr<Item>> pending;
    QHash<QByteArray, Item*> byEntry;
    qint64 pendingBytes = 0;
    qint64 pendingFiles = 0;

    Results untaken;
    QString lastError;
    qint64 writes = 0;
    qint64 archiveBytes = 0;
    qint64 archiveEntries = 0;
    // Stored names of the open archive as bytes.  libzip's own lookup converts names that are
    // not UTF-8 from code page 437 first, so it cannot find such a name by its bytes.
    QHash<QByteArray, zip_uint64_t> entryIndex;

    ~Impl() { discard(); }

    static void onProgress(zip_t*, double done, void* state) {
        auto* d = static_cast<Impl*>(state);
        const int percent = std::clamp(int(done * 100.0 + 0.5), 0, 100);
        if (percent == d->lastPercent)
            return;
        d->lastPercent = percent;
        if (d->progress && d->progress(percent))
            d->abortAsked = true;
    }

    static int onCancel(zip_t*, void* state) { return static_cast<Impl*>(state)->abortAsked; }

    void discard() {
        if (archive)
            zip_discard(archive);
        archive = nullptr;
    }

    // Opens the archive as it is on disk (creating an empty one in memory when the file is
    // missing).
    bool openArchive(QString* error) {
        discard();
        int code = 0;
        archive = zip_open(platform::encodeName(nativePath).constData(), ZIP_CREATE, &code);
        if (!archive) {
            *error = format::errorText(code);
            return false;
        }
        zip_register_progress_callback_with_state(archive, 0.01, &Impl::onProgress, nullptr, this);
        zip_register_cancel_callback_with_state(archive, &Impl::onCancel, nullptr, this);
        const zip_int64_t entries = zip_get_num_entries(archive, 0);
        archiveEntries = entries > 0 ? entries : 0;
        entryIndex.clear();
        entryIndex.reserve(archiveEntries);
        for (zip_int64_t i = 0; i < archiveEntries; ++i) {
            if (const char* name = zip_get_name(archive, zip_uint64_t(i), ZIP_FL_ENC_RAW))
                entryIndex.insert(QByteArray(name), zip_uint64_t(i));
        }
        const platform::FileStamp stamp = platform::fileStamp(nativePath);
        archiveBytes = stamp.kind == platform::FileKind::Regular ? stamp.size : 0;
        return true;
    }

    QByteArray wantedComment() const { return cutComment(comment).toUtf8(); }

    bool commentChanged() const {
        if (!commentSet || !archive)
            return false;
        int length = 0;
        const char* current = zip_get_archive_comment(archive, &length, ZIP_FL_ENC_RAW);
        return QByteArray(current ? current : "", current ? length : 0) != wantedComment();
    }

    // Puts the comment and every file of the batch that is still wanted into the open archive.
    void stage() {
        if (commentChanged()) {
            const QByteArray text = wantedComment();
            zip_set_archive_comment(archive, text.constData(), zip_uint16_t(text.size()));
        }
        for (auto& item : pending) {
            if (!item->failure.isEmpty())
                continue;
            item->resetAttempt();
            zip_source_t* source = zip_source_function(archive, &sourceCallback, item.get());
            if (!source) {
                item->failure = format::errorText(zip_get_error(archive));
                continue;
            }
            // A file already in the archive under that name is replaced.
            const auto existing = entryIndex.constFind(item->entryName);
            zip_int64_t index = -1;
            if (existing != entryIndex.cend())
                index =
                    zip_file_replace(archive, *existing, source, 0) == 0 ? qint64(*existing) : -1;
            else
                index =
                    zip_file_add(archive, item->entryName.constData(), source, ZIP_FL_ENC_GUESS);
            if (index < 0) {
                zip_source_free(source);
                item->failure = format::errorText(zip_get_error(archive));
                continue;
            }
            const auto i = zip_uint64_t(index);
            zip_set_file_compression(archive, i, ZIP_CM_DEFLATE, kDeflateLevel);
            zip_file_set_mtime(archive, i, time_t(item->stamp.modifiedSeconds), 0);
            zip_file_set_external_attributes(
                archive, i, 0, ZIP_OPSYS_UNIX,
                (format::kUnixRegular | (item->stamp.permissions & 07777)) << 16);
            // A replaced entry keeps the extra fields of the old one: drop its timestamp.
            zip_file_extra_field_delete_by_id(archive, i, format::kTimestampFieldId,
                                              ZIP_EXTRA_FIELD_ALL, ZIP_FL_LOCAL | ZIP_FL_CENTRAL);
            const QByteArray field = format::timestampField(item->stamp.modifiedSeconds);
            if (!field.isEmpty())
                zip_file_extra_field_set(archive, i, format::kTimestampFieldId, ZIP_EXTRA_FIELD_NEW,
                                         reinterpret_cast<const zip_uint8_t*>(field.constData()),
                                         zip_uint16_t(field.size()), ZIP_FL_LOCAL | ZIP_FL_CENTRAL);
        }
    }

    bool hasWork() const {
        const bool live = std::any_of(pending.begin(), pending.end(),
                                      [](const auto& item) { return item->failure.isEmpty(); });
        return live || commentChanged();
    }

    // Reads an entry of the archive just written and compares it with what was read from the
    // file: present, same size, same CRC-32, and its data reads back to that CRC.
    QString checkEntry(const Item& item) {
        const auto found = entryIndex.constFind(item.entryName);
        if (found == entryIndex.cend())
            return QStringLiteral("the entry is missing from the archive");
        const zip_uint64_t index = *found;
        zip_stat_t st;
        if (zip_stat_index(archive, index, 0, &st) != 0)
            return format::errorText(zip_get_error(archive));
        if (!(st.valid & ZIP_STAT_SIZE) || !(st.valid & ZIP_STAT_CRC) ||
            qint64(st.size) != item.bytesRead || st.crc != item.crc ||
            item.bytesRead != item.stamp.size)
            return QStringLiteral("the entry does not match the file");
        zip_file_t* entry = zip_fopen_index(archive, index, 0);
        if (!entry)
            return format::errorText(zip_get_error(archive));
        QByteArray buffer(kCheckChunk, Qt::Uninitialized);
        quint32 crc = 0;
        qint64 total = 0;
        QString why;
        for (;;) {
            const zip_int64_t got = zip_fread(entry, buffer.data(), zip_uint64_t(buffer.size()));
            if (got < 0) {
                why = format::errorText(zip_file_get_error(entry));
                break;
            }
            if (got == 0)
                break;
            crc = ::crc32::checksum(crc, buffer.constData(), got);
            total += got;
        }
        zip_fclose(entry);
        if (why.isEmpty() && (crc != item.crc || total != item.bytesRead))
            why = QStringLiteral("the entry does not read back as the file");
        if (why.isEmpty() && !platform::fileStamp(item.fullPath).sameContentAs(item.stamp))
            why = QStringLiteral("the file changed while it was being archived");
        return why;
    }

    void failAll(const QString& why) {
        for (auto& item : pending) {
            if (item->failure.isEmpty())
                item->failure = why;
        }
    }

    // Moves the outcome of every pending file into the results and empties the batch.
    void settle(Results& results) {
        for (auto& item : pending) {
            if (item->failure.isEmpty()) {
                results.stored << item->fullPath;
                continue;
            }
            results.failed << item->fullPath;
            if (results.error.isEmpty())
                results.error = item->fullPath + QStringLiteral(": ") + item->failure;
        }
        pending.clear();
        byEntry.clear();
        pendingBytes = 0;
        pendingFiles = 0;
    }

    void failBatch(Results& results, const QString& why) {
        failAll(why);
        if (results.error.isEmpty())
            results.error = why;
        lastError = why;
    }

    // Writes the batch: close through libzip, sync, reopen, check every entry.
    void writeBatch(Results& results) {
        if (!archive) {
            if (!pending.empty())
                failBatch(results, QStringLiteral("No archive is open"));
            settle(results);
            return;
        }
        if (!hasWork()) {
            settle(results);
            return;
        }

        QString error;
        bool written = false;
        for (int attempt = 0; attempt <= kMaxRetries; ++attempt) {
            if (!archive && !openArchive(&error))
                break;
            stage();
            abortAsked = false;
            lastPercent = -1;
            ++writes;
            if (zip_close(archive) == 0) {
                archive = nullptr;
                written = true;
                break;
            }
            const zip_error_t* failure = zip_get_error(archive);
            const bool cancelled = zip_error_code_zip(failure) == ZIP_ER_CANCELLED || abortAsked;
            error = cancelled ? QStringLiteral("Writing the archive was cancelled")
                              : format::errorText(failure);
            discard();
            if (cancelled) {
                results.aborted = true;
                break;
            }
            // A file that could not be read fails alone; the rest is written again.
            bool dropped = false;
            for (auto& item : pending) {
                item->file.reset();
                dropped = dropped || item->readFailed;
            }
            if (!dropped)
                break;
        }
        for (auto& item : pending)
            item->file.reset();

        if (!written) {
            // The archive on disk is as it was; the writer goes on with it as it is there.
            failBatch(results, error);
            QString reopenError;
            if (!archive && !openArchive(&reopenError))
                lastError = reopenError;
            settle(results);
            return;
        }

        QString why;
        if (!platform::syncFile(nativePath, &why) ||
            !platform::syncFolder(platform::parentFolder(nativePath), &why)) {
            failBatch(results, QStringLiteral("The archive could not be saved to disk: ") + why);
            if (!openArchive(&error))
                lastError = error;
            settle(results);
            return;
        }
        if (!openArchive(&error)) {
            failBatch(results, QStringLiteral("The written archive cannot be read: ") + error);
            settle(results);
            return;
        }
        for (auto& item : pending) {
            if (item->failure.isEmpty())
                item->failure = checkEntry(*item);
        }
        settle(results);
    }
};

ZipWriter::ZipWriter() : d(new Impl) {}

ZipWriter::~ZipWriter() {
    d->writeBatch(d->untaken);
}

bool ZipWriter::open(const QString& archivePath) {
    const QString native = platform::canonicalPath(archivePath);
    if (d->archive && native == d->nativePath)
        return true;
    if (d->archive) {
        d->writeBatch(d->untaken);
        d->discard();
    }
    d->path = archivePath;
    d->nativePath = native;
    if (archivePath.isEmpty()) {
        d->lastError = QStringLiteral("No archive name");
        return false;
    }
    const platform::FileStamp folder = platform::fileStamp(platform::parentFolder(native));
    if (folder.kind != platform::FileKind::Folder) {
        d->lastError =
            QStringLiteral("The folder %1 does not exist").arg(platform::parentFolder(native));
        return false;
    }
    const platform::FileStamp existing = platform::fileStamp(native);
    if (existing.kind != platform::FileKind::Missing &&
        existing.kind != platform::FileKind::Regular) {
        d->lastError = QStringLiteral("%1 is not a file").arg(native);
        return false;
    }
    QString error;
    if (!d->openArchive(&error)) {
        d->lastError = error;
        return false;
    }
    return true;
}

QString ZipWriter::archivePath() const {
    return d->path;
}

bool ZipWriter::isOpen() const {
    return d->archive != nullptr;
}

void ZipWriter::setComment(const QString& comment) {
    d->comment = comment;
    d->commentSet = true;
}

void ZipWriter::setBaseFolder(const QString& folder) {
    d->baseFolder = folder.isEmpty() ? QString() : platform::canonicalPath(folder);
}

void ZipWriter::setProgress(std::function<bool(int)> progress) {
    d->progress = std::move(progress);
}

bool ZipWriter::addFile(const QString& fullPath) {
    if (!d->archive) {
        d->lastError = QStringLiteral("No archive is open");
        return false;
    }
    if (!fullPath.startsWith('/')) {
        d->lastError = QStringLiteral("%1 is not a full path").arg(fullPath);
        return false;
    }
    const QString name = fullPath.mid(fullPath.lastIndexOf('/') + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        d->lastError = QStringLiteral("%1 is not a file").arg(fullPath);
        return false;
    }
    const platform::FileStamp stamp = platform::fileStamp(fullPath);
    if (stamp.kind != platform::FileKind::Regular) {
        d->lastError = stamp.kind == platform::FileKind::Missing
                           ? QStringLiteral("%1 does not exist").arg(fullPath)
                           : QStringLiteral("%1 is not a regular file").arg(fullPath);
        return false;
    }
    QString why;
    if (!platform::openForReading(fullPath, &why)) {
        d->lastError = QStringLiteral("%1 cannot be read: %2").arg(fullPath, why);
        return false;
    }

    // The name below the base folder or below the root of the file's drive, with the links of
    // its folders resolved, so that it names the place the file really has.
    const QString canonical =
        platform::joinPath(platform::canonicalPath(platform::parentFolder(fullPath)), name);
    if (canonical == d->nativePath) {
        d->lastError = QStringLiteral("An archive cannot hold itself");
        return false;
    }
    QString relative =
        d->baseFolder.isEmpty() ? QString() : platform::pathBelow(d->baseFolder, canonical);
    if (relative.isEmpty()) {
        const auto drive = platform::driveOfPath(canonical);
        if (drive)
            relative = platform::pathBelow(drive->root, canonical);
        if (relative.isEmpty()) {
            d->lastError = QStringLiteral("%1 is on no drive").arg(fullPath);
            return false;
        }
    }
    const QByteArray entryName = platform::encodeName(relative);

    if (Item* earlier = d->byEntry.value(entryName)) {
        if (earlier->fullPath == fullPath) {
            d->pendingBytes += stamp.size - earlier->stamp.size;
            earlier->stamp = stamp;
            return true;
        }
        // The later file takes the entry; the earlier one stays on disk.
        earlier->failure = QStringLiteral("replaced in the archive by %1").arg(fullPath);
        d->pendingBytes -= earlier->stamp.size;
        --d->pendingFiles;
    }
    auto item = std::make_unique<Item>();
    item->fullPath = fullPath;
    item->entryName = entryName;
    item->stamp = stamp;
    d->byEntry.insert(entryName, item.get());
    d->pending.push_back(std::move(item));
    d->pendingBytes += stamp.size;
    ++d->pendingFiles;
    return true;
}

qint64 ZipWriter::pendingCount() const {
    return d->pendingFiles;
}

qint64 ZipWriter::pendingBytes() const {
    return d->pendingBytes;
}

bool ZipWriter::flushDue() const {
    return d->pendingFiles >= std::max(kFlushFiles, d->archiveEntries) ||
           d->pendingBytes >= std::max(kFlushBytes, d->archiveBytes);
}

qint64 ZipWriter::archiveWrites() const {
    return d->writes;
}

ZipWriter::Results ZipWriter::flush() {
    Results results = std::exchange(d->untaken, Results());
    d->writeBatch(results);
    return results;
}

ZipWriter::Results ZipWriter::takeResults() {
    return std::exchange(d->untaken, Results());
}

QString ZipWriter::lastError() const {
    return d->lastError;
}

} // namespace zip
