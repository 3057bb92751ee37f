#include "zip/zipwriter.h"

#include "app/crc32.h"
#include "app/result.h"
#include "platform/claims.h"
#include "platform/dirsearch.h"
#include "platform/drives.h"
#include "platform/fileops.h"
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

// The name of the n-th archive of a wanted name: the name itself, then "-2", "-3", ... before
// its ".zip" (or at its end when it has none).
QString numberedName(const QString& wanted, int n) {
    if (n <= 1)
        return wanted;
    const QString suffix = QStringLiteral(".zip");
    const bool hasSuffix = wanted.endsWith(suffix, Qt::CaseInsensitive);
    const QString stem = hasSuffix ? wanted.chopped(suffix.size()) : wanted;
    return stem + QLatin1Char('-') + QString::number(n) + (hasSuffix ? wanted.right(4) : QString());
}

// Names tried for the archive of one batch before giving up.
constexpr int kMaxArchiveNames = 9999;

} // namespace

struct ZipWriter::Impl {
    QString path;       // as given to open()
    QString nativePath; // canonical: the wanted name of every archive
    bool named = false; // open() succeeded
    QString openError;  // why the last open() failed; empty when it did not
    zip_t* archive = nullptr;
    QString archiveFile; // the file the open archive is written to
    QString baseFolder;  // canonical, empty for none
    QString comment;
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
    // Stored names of the archive being checked, as bytes.  libzip's own lookup converts names
    // that are not UTF-8 from code page 437 first, so it cannot find such a name by its bytes.
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

    // Takes a fresh name for the next archive by creating its file, empty, exclusively and
    // locked (a claim, see claims.h): the lock lasts as long as `claim` stays open, so that a
    // later run can tell the empty file of a killed run from one in use.  The identity of that
    // empty file comes back in `reserved`.
    Result<> reserveArchive(platform::FileIdentity* reserved, std::unique_ptr<QFile>* claim) {
        for (int n = 1; n <= kMaxArchiveNames; ++n) {
            const QString candidate = numberedName(nativePath, n);
            QString why;
            bool taken = false;
            *claim = platform::claimNewFile(candidate, 0600, &taken, &why);
            if (!*claim) {
                if (taken || platform::fileStamp(candidate).kind != platform::FileKind::Missing)
                    continue; // the name is taken
                return Failure{
                    QStringLiteral("The archive %1 cannot be created: %2").arg(candidate, why)};
            }
            archiveFile = candidate;
            *reserved = platform::fileStamp(candidate).identity();
            return {};
        }
        return Failure{QStringLiteral("No free archive name is left for %1").arg(nativePath)};
    }

    // Opens the reserved file as a new, empty archive (libzip writes it when it is closed).
    Result<> openNewArchive() {
        discard();
        int code = 0;
        archive = zip_open(platform::encodeName(archiveFile).constData(), ZIP_TRUNCATE, &code);
        if (!archive)
            return Failure{format::errorText(code)};
        zip_register_progress_callback_with_state(archive, 0.01, &Impl::onProgress, nullptr, this);
        zip_register_cancel_callback_with_state(archive, &Impl::onCancel, nullptr, this);
        return {};
    }

    // Opens the archive just written for reading back, and indexes its entries.
    Result<> openForCheck() {
        discard();
        int code = 0;
        archive = zip_open(platform::encodeName(archiveFile).constData(),
                           ZIP_RDONLY | ZIP_CHECKCONS, &code);
        if (!archive)
            return Failure{format::errorText(code)};
        const zip_int64_t entries = zip_get_num_entries(archive, 0);
        entryIndex.clear();
        for (zip_int64_t i = 0; i < entries; ++i) {
            if (const char* name = zip_get_name(archive, zip_uint64_t(i), ZIP_FL_ENC_RAW))
                entryIndex.insert(QByteArray(name), zip_uint64_t(i));
        }
        return {};
    }

    // Puts the comment and every file of the batch that is still wanted into the new archive.
    void stage() {
        const QByteArray text = cutComment(comment).toUtf8();
        if (!text.isEmpty())
            zip_set_archive_comment(archive, text.constData(), zip_uint16_t(text.size()));
        for (auto& item : pending) {
            if (!item->failure.isEmpty())
                continue;
            item->resetAttempt();
            zip_source_t* source = zip_source_function(archive, &sourceCallback, item.get());
            if (!source) {
                item->failure = format::errorText(zip_get_error(archive));
                continue;
            }
            const zip_int64_t index =
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
            const QByteArray field = format::timestampField(item->stamp.modifiedSeconds);
            if (!field.isEmpty())
                zip_file_extra_field_set(archive, i, format::kTimestampFieldId, ZIP_EXTRA_FIELD_NEW,
                                         reinterpret_cast<const zip_uint8_t*>(field.constData()),
                                         zip_uint16_t(field.size()), ZIP_FL_LOCAL | ZIP_FL_CENTRAL);
        }
    }

    bool hasWork() const {
        return std::any_of(pending.begin(), pending.end(),
                           [](const auto& item) { return item->failure.isEmpty(); });
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
        if (why.isEmpty() &&
            !item.stamp.identity().matches(platform::fileStamp(item.fullPath).identity()))
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
                results.stored.append({item->fullPath, item->stamp.identity()});
                continue;
            }
            results.failed << item->fullPath;
            results.reasons.insert(item->fullPath, item->failure);
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

    // Gives the reserved name back after a write that did not happen: the empty file is
    // removed, unless something else has taken its place meanwhile.
    void releaseArchive(const platform::FileIdentity& reserved, Results& results) {
        const platform::FileResult removed = platform::removeFileIfUnchanged(archiveFile, reserved);
        if (removed.status == platform::FileResult::Failed && results.error.isEmpty())
            results.error = QStringLiteral("The empty archive %1 cannot be removed: %2")
                                .arg(archiveFile, removed.message);
    }

    // Writes the batch into a new archive file: close through libzip, sync, reopen, check
    // every entry.
    void writeBatch(Results& results) {
        if (!named) {
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
        platform::FileIdentity reserved;
        // Held until the batch is settled: the claim ends when this goes out of scope.
        std::unique_ptr<QFile> claim;
        if (const Result<> reservation = reserveArchive(&reserved, &claim); !reservation) {
            failBatch(results, reservation.message());
            settle(results);
            return;
        }
        bool written = false;
        for (int attempt = 0; attempt <= kMaxRetries; ++attempt) {
            if (const Result<> opened = openNewArchive(); !opened) {
                error = opened.message();
                break;
            }
            stage();
            if (!hasWork()) {
                error = QStringLiteral("No file of the batch could be read");
                break;
            }
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
            if (!dropped || !hasWork())
                break;
        }
        discard();
        for (auto& item : pending)
            item->file.reset();

        if (!written) {
            failBatch(results, error);
            releaseArchive(reserved, results);
            settle(results);
            return;
        }

        results.archives << archiveFile;
        QString why;
        if (!platform::syncFile(archiveFile, &why) ||
            !platform::syncFolder(platform::parentFolder(archiveFile), &why)) {
            failBatch(results, QStringLiteral("The archive could not be saved to disk: ") + why);
            settle(results);
            return;
        }
        if (const Result<> check = openForCheck(); !check) {
            failBatch(results,
                      QStringLiteral("The written archive cannot be read: ") + check.message());
            settle(results);
            return;
        }
        for (auto& item : pending) {
            if (item->failure.isEmpty())
                item->failure = checkEntry(*item);
        }
        discard();
        settle(results);
    }
};

ZipWriter::ZipWriter() : d(new Impl) {}

ZipWriter::~ZipWriter() {
    d->writeBatch(d->untaken);
}

bool ZipWriter::open(const QString& archivePath) {
    const QString native = platform::canonicalPath(archivePath);
    if (d->named && native == d->nativePath)
        return true;
    if (d->named)
        d->writeBatch(d->untaken);
    d->named = false;
    d->openError.clear();
    d->path = archivePath;
    d->nativePath = native;
    if (archivePath.isEmpty()) {
        d->lastError = d->openError = QStringLiteral("No archive name");
        return false;
    }
    const QString folder = platform::parentFolder(native);
    if (platform::fileStamp(folder).kind != platform::FileKind::Folder) {
        d->lastError = d->openError = QStringLiteral("The folder %1 does not exist").arg(folder);
        return false;
    }
    d->named = true;
    return true;
}

QString ZipWriter::archivePath() const {
    return d->path;
}

bool ZipWriter::isOpen() const {
    return d->named;
}

void ZipWriter::setComment(const QString& comment) {
    d->comment = comment;
}

void ZipWriter::setBaseFolder(const QString& folder) {
    d->baseFolder = folder.isEmpty() ? QString() : platform::canonicalPath(folder);
}

void ZipWriter::setProgress(std::function<bool(int)> progress) {
    d->progress = std::move(progress);
}

platform::FileResult ZipWriter::addFile(const QString& fullPath,
                                        const platform::FileIdentity& seen) {
    const auto fail = [this](const QString& why) {
        d->lastError = why;
        return platform::FileResult::failed(why);
    };
    if (!d->named)
        return fail(d->openError.isEmpty() ? QStringLiteral("No archive is open") : d->openError);
    if (!fullPath.startsWith('/'))
        return fail(QStringLiteral("%1 is not a full path").arg(fullPath));
    const QString name = fullPath.mid(fullPath.lastIndexOf('/') + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return fail(QStringLiteral("%1 is not a file").arg(fullPath));
    const platform::FileStamp stamp = platform::fileStamp(fullPath);
    if (stamp.kind != platform::FileKind::Regular)
        return fail(stamp.kind == platform::FileKind::Missing
                        ? QStringLiteral("%1 does not exist").arg(fullPath)
                        : QStringLiteral("%1 is not a regular file").arg(fullPath));
    if (seen.known() && !seen.matches(stamp.identity())) {
        d->lastError = QStringLiteral("%1 has changed").arg(fullPath);
        return platform::FileResult::changed();
    }
    QString why;
    if (!platform::openForReading(fullPath, &why))
        return fail(QStringLiteral("%1 cannot be read: %2").arg(fullPath, why));

    // The name below the base folder or below the root of the file's drive, with the links of
    // its folders resolved, so that it names the place the file really has.
    const QString canonical =
        platform::joinPath(platform::canonicalPath(platform::parentFolder(fullPath)), name);
    if (canonical == d->nativePath)
        return fail(QStringLiteral("An archive cannot hold itself"));
    QString relative =
        d->baseFolder.isEmpty() ? QString() : platform::pathBelow(d->baseFolder, canonical);
    if (relative.isEmpty()) {
        const auto drive = platform::driveOfPath(canonical);
        if (drive)
            relative = platform::pathBelow(drive->root, canonical);
        if (relative.isEmpty())
            return fail(QStringLiteral("%1 is on no drive").arg(fullPath));
    }
    const QByteArray entryName = platform::encodeName(relative);

    if (Item* earlier = d->byEntry.value(entryName)) {
        if (earlier->fullPath == fullPath) {
            d->pendingBytes += stamp.size - earlier->stamp.size;
            earlier->stamp = stamp;
            return platform::FileResult::done();
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
    return platform::FileResult::done();
}

qint64 ZipWriter::pendingCount() const {
    return d->pendingFiles;
}

qint64 ZipWriter::pendingBytes() const {
    return d->pendingBytes;
}

bool ZipWriter::flushDue() const {
    return d->pendingFiles >= kFlushFiles || d->pendingBytes >= kFlushBytes;
}

qint64 ZipWriter::archiveWrites() const {
    return d->writes;
}

QStringList ZipWriter::Results::storedPaths() const {
    QStringList paths;
    paths.reserve(stored.size());
    for (const Stored& file : stored)
        paths << file.path;
    return paths;
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

namespace {

// Names of the regular files of a folder that match a pattern, with their sizes.
QList<platform::DirEntry> regularFiles(const QString& folder, const QString& pattern) {
    QList<platform::DirEntry> found;
    platform::DirSearch search;
    if (!search.open(folder))
        return found;
    search.start(pattern, platform::faReadOnly | platform::faArchive);
    platform::DirEntry entry;
    while (search.next(&entry))
        found << entry;
    return found;
}

// The name of one of the engine's temporary files of an archive: the archive's name, ".", and
// six letters or digits.
bool isTemporaryOf(const QString& name, const QString& archive) {
    constexpr int kRandom = 6;
    if (name.size() != archive.size() + 1 + kRandom || !name.startsWith(archive) ||
        name.at(archive.size()) != QLatin1Char('.'))
        return false;
    for (const QChar c : name.right(kRandom))
        if (c.unicode() > 127 || !c.isLetterOrNumber())
            return false;
    return true;
}

} // namespace

QStringList ZipWriter::removeLeftovers(const QString& folder, const QString& mask) {
    QStringList removed;
    for (const platform::DirEntry& claim : regularFiles(folder, mask)) {
        if (claim.size != 0)
            continue;
        const QString path = platform::joinPath(folder, claim.name);
        if (!platform::removeAbandonedClaim(path).ok())
            continue;
        removed << path;
        // Nobody holds the name any more, so nobody writes its temporary files either.
        for (const platform::DirEntry& temp :
             regularFiles(folder, claim.name + QStringLiteral(".??????"))) {
            const QString tempPath = platform::joinPath(folder, temp.name);
            if (isTemporaryOf(temp.name, claim.name) && platform::removeFile(tempPath))
                removed << tempPath;
        }
    }
    return removed;
}

} // namespace zip
