#include "zip/zipreader.h"

#include "app/filetime.h"
#include "platform/dirsearch.h"
#include "platform/fileops.h"
#include "platform/filesync.h"
#include "platform/names.h"
#include "platform/paths.h"
#include "zip/zipformat.h"

#include <QHash>
#include <QRandomGenerator>
#include <QStringList>
#include <algorithm>
#include <limits>

namespace zip {

using namespace lz;

namespace {

using Failure = ExtractFailure;

// Read size of one step of an extraction.
constexpr qsizetype kChunk = 256 * 1024;
// Temporary names tried in a folder before giving up.
constexpr int kTempAttempts = 100;

// a + b, or the largest count when the sum would overflow.
qint64 addWork(qint64 a, qint64 b) {
    qint64 sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? std::numeric_limits<qint64>::max() : sum;
}

// The share of an extraction's work an entry stands for: its size as the archive claims it, and
// one for the entry itself.
qint64 workOf(const ZipEntry& e) {
    return addWork(std::max<qint64>(e.size, 0), 1);
}

// The components of a stored name, without empty and "." components.
QStringList componentsOf(const QString& stored) {
    QStringList out;
    for (const QString& part : stored.split('/', Qt::SkipEmptyParts)) {
        if (part != QLatin1String("."))
            out << part;
    }
    return out;
}

} // namespace

bool isZipArchive(const QString& path) {
    int code = 0;
    zip_t* archive = zip_open(platform::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!archive)
        return false;
    zip_discard(archive);
    return true;
}

struct ZipReader::Impl {
    zip_t* archive = nullptr;
    QString path;
    QString lastError;
    QString comment;
    QList<ZipEntry> entries;
    std::unique_ptr<ZipNode> root = std::make_unique<ZipNode>();
    qint64 files = 0;

    std::function<void(int)> progress;
    std::function<std::optional<QString>(const QString&)> passwordRequest;
    std::function<void(const ExtractFailure&)> failure;
    std::function<void()> loaded;

    QString baseFolder;
    bool restorePaths = true;
    bool createFolders = true;
    std::optional<QByteArray> password; // the last password that fitted an entry

    // Progress of one extraction.
    qint64 workTotal = 0;
    qint64 workDone = 0;
    int lastPercent = -1;
    ExtractResult result;

    Impl() { root->folder = true; }
    ~Impl() { closeArchive(); }

    void closeArchive() {
        if (archive)
            zip_discard(archive);
        archive = nullptr;
    }

    static ZipEntry readEntry(zip_t* archive, zip_uint64_t index) {
        ZipEntry e;
        e.index = qint64(index);
        zip_stat_t st;
        if (zip_stat_index(archive, index, ZIP_FL_ENC_RAW, &st) != 0)
            return e;
        if (st.valid & ZIP_STAT_NAME)
            e.path = platform::decodeName(QByteArray(st.name));
        e.folder = e.path.endsWith('/');
        const QStringList parts = componentsOf(e.path);
        e.name = parts.isEmpty() ? QString() : parts.last();
        // Sizes beyond what a signed 64-bit number holds (a damaged archive) count as the
        // largest one rather than as negative.
        constexpr zip_uint64_t kLargest = zip_uint64_t(std::numeric_limits<qint64>::max());
        if (st.valid & ZIP_STAT_SIZE)
            e.size = qint64(std::min(st.size, kLargest));
        if (st.valid & ZIP_STAT_COMP_SIZE)
            e.compressedSize = qint64(std::min(st.comp_size, kLargest));
        if (st.valid & ZIP_STAT_CRC)
            e.crc = st.crc;
        e.encrypted =
            (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;

        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) == 0 &&
            system == ZIP_OPSYS_UNIX && (attributes >> 16) != 0) {
            const quint32 mode = attributes >> 16;
            e.unixMode = mode;
            const quint32 type = mode & format::kUnixTypeMask;
            e.link = type == format::kUnixLink;
            e.folder = e.folder || type == format::kUnixFolder;
            e.otherKind =
                type != 0 && type != format::kUnixRegular && type != format::kUnixFolder && !e.link;
        }

        // The exact time of the timestamp field wins over the packed local time.
        zip_uint16_t length = 0;
        const zip_uint8_t* field = zip_file_extra_field_get_by_id(
            archive, index, format::kTimestampFieldId, 0, &length, ZIP_FL_CENTRAL);
        const std::optional<qint64> exact = format::readTimestampField(field, length);
        qint64 seconds = 0;
        if (exact)
            seconds = *exact;
        else if (st.valid & ZIP_STAT_MTIME)
            seconds = qint64(st.mtime);
        if (seconds != 0 || exact) {
            e.modified = QDateTime::fromSecsSinceEpoch(seconds);
            e.dosDateTime = filetime::packDos(e.modified);
        }
        return e;
    }

    // Builds the tree of the entries.
    void buildTree() {
        root = std::make_unique<ZipNode>();
        root->folder = true;
        QHash<QString, ZipNode*> folders;
        auto addChild = [](ZipNode* parent, const QString& name, bool folder) {
            auto node = std::make_unique<ZipNode>();
            node->name = name;
            node->path = parent->path.isEmpty() ? name : parent->path + '/' + name;
            node->folder = folder;
            node->parent = parent;
            node->row = int(parent->children.size());
            parent->children.push_back(std::move(node));
            return parent->children.back().get();
        };
        for (int i = 0; i < entries.size(); ++i) {
            const ZipEntry& e = entries[i];
            const QStringList parts = componentsOf(e.path);
            if (parts.isEmpty())
                continue;
            const qsizetype folderParts = e.folder ? parts.size() : parts.size() - 1;
            ZipNode* node = root.get();
            QString key;
            for (qsizetype k = 0; k < folderParts; ++k) {
                key += parts[k] + '/';
                ZipNode* next = folders.value(key);
                if (!next) {
                    next = addChild(node, parts[k], true);
                    folders.insert(key, next);
                }
                node = next;
            }
            if (e.folder) {
                if (node->entry < 0)
                    node->entry = i;
            } else {
                addChild(node, parts.last(), false)->entry = i;
            }
        }
    }

    static Failure describe(const ZipEntry& e, Failure::Operation op, Failure::Kind kind,
                            int zipError, const QString& message) {
        Failure f;
        f.entry = e.path;
        f.operation = op;
        f.kind = kind;
        f.zipError = zipError;
        f.message = zipError != 0 && message.isEmpty() ? format::errorText(zipError) : message;
        return f;
    }

    static Failure describeEngine(const ZipEntry& e, Failure::Operation op,
                                  const zip_error_t* error) {
        const int code = zip_error_code_zip(error);
        const Failure::Kind kind = code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_NOPASSWD
                                       ? Failure::Kind::Password
                                       : Failure::Kind::Engine;
        return describe(e, op, kind, code, format::errorText(error));
    }

    void report(const Failure& f) {
        ++result.failed;
        if (failure)
            failure(f);
    }

    void fail(const ZipEntry& e, Failure::Operation op, Failure::Kind kind, int zipError,
              const QString& message) {
        report(describe(e, op, kind, zipError, message));
    }

    void failEngine(const ZipEntry& e, Failure::Operation op, const zip_error_t* error) {
        report(describeEngine(e, op, error));
    }

    void advance(qint64 work) {
        workDone = addWork(workDone, work);
        const int percent =
            workTotal > 0 ? int(std::min<double>(100, double(workDone) * 100 / double(workTotal)))
                          : 100;
        // An entry may hold more data than it claims: the gauge never goes back.
        if (percent > lastPercent) {
            lastPercent = percent;
            if (progress)
                progress(percent);
        }
    }

    // Creates the folders of `parts` below `destination` as needed; the full path of the last
    // one, or a null string after reporting the failure.
    QString makeFolders(const ZipEntry& e, const QString& destination, const QStringList& parts) {
        QString path = destination;
        for (const QString& part : parts) {
            path = platform::joinPath(path, part);
            const platform::FileStamp st = platform::fileStamp(path);
            if (st.kind == platform::FileKind::Folder)
                continue;
            // A link to a folder that is already there belongs to the user and is followed.
            if (st.kind == platform::FileKind::Link && platform::isDirectory(path))
                continue;
            if (st.kind != platform::FileKind::Missing) {
                fail(e, Failure::Operation::Write, Failure::Kind::InTheWay, 0,
                     QStringLiteral("%1 is in the way of a folder").arg(path));
                return QString();
            }
            if (!createFolders) {
                fail(e, Failure::Operation::Write, Failure::Kind::FileSystem, 0,
                     QStringLiteral("the folder %1 does not exist").arg(path));
                return QString();
            }
            QString why;
            if (!platform::makeFolder(path, &why)) {
                fail(e, Failure::Operation::Write, Failure::Kind::FileSystem, 0,
                     QStringLiteral("the folder %1 cannot be created: %2").arg(path, why));
                return QString();
            }
        }
        return path;
    }

    // ZIP_ER_COMPNOTSUPP or ZIP_ER_ENCRNOTSUPP when libzip cannot unpack the entry, else 0.
    // Asked before opening: libzip 1.7 does not free everything it made for an entry it then
    // fails to open for this reason.
    int unsupportedMethod(zip_uint64_t index) const {
        zip_stat_t st;
        if (zip_stat_index(archive, index, 0, &st) != 0)
            return 0; // opening reports what is wrong
        if ((st.valid & ZIP_STAT_COMP_METHOD) &&
            !zip_compression_method_supported(st.comp_method, 0))
            return ZIP_ER_COMPNOTSUPP;
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE &&
            !zip_encryption_method_supported(st.encryption_method, 0))
            return ZIP_ER_ENCRNOTSUPP;
        return 0;
    }

    // Opens an entry's data, asking for a password when the entry needs one that was not given.
    zip_file_t* openEntry(const ZipEntry& e) {
        const auto index = zip_uint64_t(e.index);
        if (const int unsupported = unsupportedMethod(index)) {
            fail(e, Failure::Operation::Open, Failure::Kind::Engine, unsupported, {});
            return nullptr;
        }
        if (!e.encrypted) {
            zip_file_t* file = zip_fopen_index(archive, index, 0);
            if (!file)
                failEngine(e, Failure::Operation::Open, zip_get_error(archive));
            return file;
        }
        if (password) {
            if (zip_file_t* file =
                    zip_fopen_index_encrypted(archive, index, 0, password->constData()))
                return file;
            if (zip_error_code_zip(zip_get_error(archive)) != ZIP_ER_WRONGPASSWD) {
                failEngine(e, Failure::Operation::Open, zip_get_error(archive));
                return nullptr;
            }
        }
        const std::optional<QString> given =
            passwordRequest ? passwordRequest(e.path) : std::nullopt;
        if (!given) {
            fail(e, Failure::Operation::Open, Failure::Kind::Password, ZIP_ER_NOPASSWD, {});
            return nullptr;
        }
        const QByteArray bytes = given->toUtf8();
        zip_file_t* file = zip_fopen_index_encrypted(archive, index, 0, bytes.constData());
        if (!file) {
            failEngine(e, Failure::Operation::Open, zip_get_error(archive));
            return nullptr;
        }
        password = bytes;
        return file;
    }

    // A new temporary file in a folder, created exclusively under a random name that is not
    // the entry's own, so that neither a leftover nor an entry of that name is ever in the way.
    // The path comes back in *temp; null (with the reason) when no name could be taken.
    static std::unique_ptr<QFile> createTemporary(const QString& folder, const QString& target,
                                                  quint32 mode, QString* temp, QString* why) {
        for (int n = 0; n < kTempAttempts; ++n) {
            const QString candidate =
                platform::joinPath(folder, QStringLiteral(".vastel-extract-%1")
                                               .arg(QRandomGenerator::global()->generate64(), 16,
                                                    16, QLatin1Char('0')));
            if (candidate == target)
                continue;
            std::unique_ptr<QFile> file = platform::createNewFile(candidate, mode, why);
            if (file) {
                *temp = candidate;
                return file;
            }
            if (platform::fileStamp(candidate).kind == platform::FileKind::Missing)
                return nullptr; // not a taken name: the folder refuses
        }
        *why = QStringLiteral("no free temporary name");
        return nullptr;
    }

    bool extractFile(const ZipEntry& e, const QString& folder, const QString& name) {
        const QString target = platform::joinPath(folder, name);
        if (platform::fileStamp(target).kind != platform::FileKind::Missing) {
            fail(e, Failure::Operation::Check, Failure::Kind::InTheWay, 0,
                 QStringLiteral("%1 already exists").arg(target));
            return false;
        }
        zip_file_t* data = openEntry(e);
        if (!data)
            return false;

        quint32 mode = e.unixMode ? (*e.unixMode & 0777) : 0666;
        if (mode == 0)
            mode = 0666;
        QString why;
        QString temp;
        std::unique_ptr<QFile> out = createTemporary(folder, target, mode, &temp, &why);
        if (!out) {
            zip_fclose(data);
            fail(e, Failure::Operation::Write, Failure::Kind::FileSystem, 0,
                 QStringLiteral("%1 cannot be created: %2").arg(target, why));
            return false;
        }

        // The data goes to the temporary file, gets its time, reaches the device, and only
        // then takes the name; until then nothing that had the name is touched.
        const auto writeFailure = [&](const QString& what) {
            return describe(e, Failure::Operation::Write, Failure::Kind::FileSystem, 0, what);
        };
        std::optional<Failure> failed;
        QByteArray buffer(kChunk, Qt::Uninitialized);
        for (;;) {
            const zip_int64_t got = zip_fread(data, buffer.data(), zip_uint64_t(buffer.size()));
            if (got < 0) {
                failed = describeEngine(e, Failure::Operation::Read, zip_file_get_error(data));
                break;
            }
            if (got == 0)
                break;
            if (out->write(buffer.constData(), got) != got) {
                failed = writeFailure(
                    QStringLiteral("%1 cannot be written: %2").arg(target, out->errorString()));
                break;
            }
            advance(got);
        }
        zip_fclose(data);
        if (!failed && e.modified.isValid() &&
            !platform::setFileTimes(temp, e.modified.toSecsSinceEpoch(), &why))
            failed = writeFailure(
                QStringLiteral("the time of last write of %1 cannot be set: %2").arg(target, why));
        if (!failed && !platform::syncAndClose(*out, &why))
            failed = writeFailure(QStringLiteral("%1 cannot be written: %2").arg(target, why));
        out.reset();
        if (!failed && !platform::renameToFreeName(temp, target, &why))
            failed = writeFailure(QStringLiteral("%1 cannot be written: %2").arg(target, why));
        if (failed) {
            if (!platform::removeFile(temp, &why))
                failed->message +=
                    QStringLiteral("; the temporary file %1 cannot be removed: %2").arg(temp, why);
            report(*failed);
            return false;
        }
        if (!platform::syncFolder(folder, &why)) {
            report(writeFailure(
                QStringLiteral("%1 is written, but its folder cannot be flushed to the device: %2")
                    .arg(target, why)));
            return false;
        }
        return true;
    }
};

ZipReader::ZipReader() : d(new Impl) {}

ZipReader::~ZipReader() = default;

bool ZipReader::open(const QString& archivePath) {
    int code = 0;
    zip_t* archive = zip_open(platform::encodeName(archivePath).constData(), ZIP_RDONLY, &code);
    if (!archive) {
        d->lastError = format::errorText(code);
        return false;
    }
    d->closeArchive();
    d->archive = archive;
    d->path = archivePath;
    d->password.reset();
    int length = 0;
    const char* comment = zip_get_archive_comment(archive, &length, ZIP_FL_ENC_GUESS);
    d->comment = comment ? QString::fromUtf8(comment, length) : QString();
    d->entries.clear();
    d->files = 0;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        d->entries << Impl::readEntry(archive, zip_uint64_t(i));
        if (!d->entries.back().folder)
            ++d->files;
    }
    d->buildTree();
    if (d->loaded)
        d->loaded();
    return true;
}

void ZipReader::close() {
    d->closeArchive();
    d->path.clear();
    d->comment.clear();
    d->entries.clear();
    d->files = 0;
    d->password.reset();
    d->buildTree();
}

bool ZipReader::isOpen() const {
    return d->archive != nullptr;
}

QString ZipReader::archivePath() const {
    return d->path;
}

QString ZipReader::lastError() const {
    return d->lastError;
}

QString ZipReader::comment() const {
    return d->comment;
}

qint64 ZipReader::entryCount() const {
    return d->entries.size();
}

qint64 ZipReader::fileCount() const {
    return d->files;
}

const QList<ZipEntry>& ZipReader::entries() const {
    return d->entries;
}

const ZipNode& ZipReader::tree() const {
    return *d->root;
}

void ZipReader::setProgress(std::function<void(int)> progress) {
    d->progress = std::move(progress);
}

void ZipReader::setPasswordRequest(std::function<std::optional<QString>(const QString&)> request) {
    d->passwordRequest = std::move(request);
}

void ZipReader::setFailure(std::function<void(const ExtractFailure&)> failure) {
    d->failure = std::move(failure);
}

void ZipReader::setLoaded(std::function<void()> loaded) {
    d->loaded = std::move(loaded);
}

void ZipReader::setBaseFolder(const QString& storedFolder) {
    d->baseFolder = storedFolder;
}

QString ZipReader::baseFolder() const {
    return d->baseFolder;
}

void ZipReader::setRestorePaths(bool on) {
    d->restorePaths = on;
}

void ZipReader::setCreateFolders(bool on) {
    d->createFolders = on;
}

ZipReader::ExtractResult ZipReader::extract(const QString& destination, const QString& pattern) {
    d->result = ExtractResult();
    if (!d->archive)
        return d->result;

    // The entries to handle and the stored path of each below the base folder.
    struct Pick {
        const ZipEntry* entry;
        QStringList parts; // below the base folder
        bool unsafe;
    };
    const QStringList base = componentsOf(d->baseFolder);
    const platform::WildcardPattern wildcard(pattern.isEmpty() ? QStringLiteral("*") : pattern);
    const bool all = wildcard.matchesEverything();
    std::vector<Pick> picks;
    d->workTotal = 0;
    for (const ZipEntry& e : d->entries) {
        const QStringList parts = componentsOf(e.path);
        if (parts.size() < base.size() || parts.mid(0, base.size()) != base)
            continue;
        Pick pick{&e, parts.mid(base.size()), false};
        pick.unsafe = e.path.startsWith('/') || parts.contains(QLatin1String(".."));
        if (e.folder) {
            if (!d->restorePaths || !all || pick.parts.isEmpty())
                continue;
        } else if (pick.parts.isEmpty() || !wildcard.matches(pick.parts.last())) {
            continue;
        }
        d->workTotal = addWork(d->workTotal, workOf(e));
        picks.push_back(std::move(pick));
    }
    d->workDone = 0;
    d->lastPercent = -1;
    d->advance(0);

    const bool destinationOk = platform::isDirectory(destination);
    const QString root = destinationOk ? platform::canonicalPath(destination) : destination;
    for (const Pick& pick : picks) {
        const ZipEntry& e = *pick.entry;
        const qint64 start = d->workDone;
        if (!destinationOk) {
            d->fail(e, Failure::Operation::Write, Failure::Kind::FileSystem, 0,
                    QStringLiteral("the folder %1 does not exist").arg(destination));
        } else if (pick.unsafe) {
            d->fail(e, Failure::Operation::Check, Failure::Kind::Unsafe, 0,
                    QStringLiteral("the name leads outside the destination folder"));
        } else if (e.link || e.otherKind) {
            d->fail(e, Failure::Operation::Check, Failure::Kind::Link, 0,
                    e.link ? QStringLiteral("stored as a symbolic link")
                           : QStringLiteral("stored as a device, FIFO or socket"));
        } else if (e.folder) {
            if (!d->makeFolders(e, root, pick.parts).isNull())
                ++d->result.extracted;
        } else {
            const QStringList folders =
                d->restorePaths ? pick.parts.mid(0, pick.parts.size() - 1) : QStringList();
            const QString folder = d->makeFolders(e, root, folders);
            if (!folder.isNull() && d->extractFile(e, folder, pick.parts.last()))
                ++d->result.extracted;
        }
        // Whatever became of the entry, its share of the work is done.
        d->workDone = start;
        d->advance(workOf(e));
    }
    d->workDone = d->workTotal;
    d->advance(0);
    return d->result;
}

} // namespace zip
