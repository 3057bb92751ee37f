#include "delete/folderclean.h"

#include "app/format.h"
#include "app/inifile.h"
#include "app/totals.h"
#include "platform/drives.h"
#include "platform/environment.h"
#include "platform/openfolder.h"
#include "platform/paths.h"

#include <QDate>

// ---- Folders that are never disposed of --------------------------------------------------------

namespace {

// True when `folder` is `path` or holds it.
bool isOrHolds(const QString& folder, const QString& path) {
    return folder == path || !platform::pathBelow(folder, path).isNull();
}

QString canonical(const QString& path) {
    return platform::canonicalPath(path);
}

// The program's two system folders and the top-level folders of the system.
QStringList systemFolders() {
    const platform::Places& places = platform::places();
    QStringList system;
    for (const QString& s : {places.windowsDir, places.systemDir})
        if (!s.isEmpty())
            system << s;
    for (const char* top : {"/bin", "/boot", "/dev", "/etc", "/lib", "/lib32", "/lib64", "/proc",
                            "/run", "/sbin", "/sys", "/usr", "/var"})
        system << QString::fromLatin1(top);
    return system;
}

} // namespace

FolderRefusal folderRefusal(const QString& folder) {
    const QString path = canonical(folder);
    if (path == QLatin1String("/") || platform::isDriveRoot(folder))
        return FolderRefusal::DriveRoot;
    for (const platform::Drive& drive : platform::drives())
        if (canonical(drive.root) == path)
            return FolderRefusal::DriveRoot;
    const platform::Places& places = platform::places();
    if (!places.homeDir.isEmpty() && isOrHolds(path, canonical(places.homeDir)))
        return FolderRefusal::HomeFolder;
    for (const QString& s : systemFolders())
        if (isOrHolds(path, canonical(s)) || isOrHolds(path, s))
            return FolderRefusal::SystemFolder;
    return FolderRefusal::None;
}

QString windowsFolderRefusal(const QString& folder) {
    if (folder.isEmpty())
        return QString();
    const QString path = canonical(folder);
    if (path == QLatin1String("/") || platform::isDriveRoot(folder))
        return folderRefusalText(FolderRefusal::DriveRoot);
    for (const QString& s : systemFolders())
        if (path == canonical(s) || path == s)
            return QStringLiteral("You cannot delete the Windows folder using Vastel 95");
    return QString();
}

QString folderRefusalText(FolderRefusal refusal) {
    switch (refusal) {
    case FolderRefusal::None:
        break;
    case FolderRefusal::DriveRoot:
        return QStringLiteral("You cannot delete the root folder using Vastel 95");
    case FolderRefusal::HomeFolder:
        return QStringLiteral("You cannot delete your home folder using Vastel 95");
    case FolderRefusal::SystemFolder:
        return QStringLiteral("You cannot delete a system folder using Vastel 95");
    }
    return QString();
}

// ---- A run over one folder ---------------------------------------------------------------------

namespace {

QList<platform::FolderId> driveRoots() {
    QList<platform::FolderId> roots;
    for (const platform::Drive& drive : platform::drives())
        if (const auto id = platform::folderIdOfPath(drive.root))
            roots << *id;
    return roots;
}

QPair<quint64, quint64> fileKey(const platform::FileIdentity& id) {
    return {id.device, id.inode};
}

} // namespace

FolderClean::FolderClean(FolderCleanSettings settings, FolderCleanHooks hooks)
    : m_settings(std::move(settings)), m_hooks(std::move(hooks)) {}

FolderClean::~FolderClean() = default;

Result<> FolderClean::start() {
    const bool zipOnly = m_settings.mode == FolderMode::Zip && !m_settings.deleteAfterZip;
    const FolderRefusal refusal = folderRefusal(m_settings.folder);
    if (!zipOnly && refusal != FolderRefusal::None)
        return Failure{folderRefusalText(refusal)};
    m_tree = std::make_unique<platform::FolderTree>(m_settings.folder, driveRoots());
    QString why;
    if (!m_tree->open(&why))
        return Failure{QStringLiteral("Can't open folder %1: %2").arg(m_settings.folder, why)};
    if (m_settings.mode != FolderMode::Zip && m_tree->removeFolder()) {
        m_removedAtOnce = true;
        m_phase = Phase::Done;
        return Result<>::done();
    }
    if (m_settings.mode == FolderMode::Zip) {
        const ZipRunSettings& zs = m_settings.zip;
        const QDateTime moment = zs.moment.isValid() ? zs.moment : QDateTime::currentDateTime();
        const QString archive = makeArchiveName(zs.tag, driveLetterOfPath(m_settings.folder),
                                                moment, zs.zipFolder, zs.locale);
        m_writer = std::make_unique<zip::ZipWriter>();
        m_writer->setComment(zs.comment);
        m_writer->setProgress([this](int percent) {
            if (m_hooks.gauge)
                m_hooks.gauge(percent);
            return m_aborted;
        });
        if (!m_writer->open(archive))
            return Failure{QStringLiteral("Can't make the archive %1: %2")
                               .arg(archive, m_writer->lastError())};
    }
    m_tree->setRemoveFolders(!zipOnly && m_settings.mode != FolderMode::Zip);
    m_phase = Phase::Walk;
    return Result<>::done();
}

bool FolderClean::step(int files) {
    for (int i = 0; i < files && m_phase != Phase::Done; ++i) {
        switch (m_phase) {
        case Phase::Walk: {
            platform::FolderTree::Entry entry;
            if (m_aborted || m_stopped || !m_tree->next(&entry))
                endWalk();
            else
                walkOne(entry);
            break;
        }
        case Phase::DeletePass:
            deleteStored();
            break;
        case Phase::Finish:
            finish();
            break;
        case Phase::Done:
            break;
        }
    }
    return m_phase != Phase::Done;
}

void FolderClean::report(const QString& message) {
    if (m_hooks.error)
        m_hooks.error(message);
}

bool FolderClean::askAbout(platform::FolderTree::Entry& entry) {
    const QString& path = entry.path;
    const struct {
        bool has;
        const char* what;
        bool readOnly;
    } attributes[] = {{entry.readOnly, " is read-only, ", true},
                      {entry.hidden, " is hidden, ", false},
                      {entry.system, " is a system file, ", false}};
    for (const auto& a : attributes) {
        if (!a.has)
            continue;
        const QString question =
            path + QLatin1String(a.what) +
            QStringLiteral("Delete this file and continue deleting the remaining files? ");
        if (m_hooks.confirm && !m_hooks.confirm(question)) {
            m_aborted = true;
            return false;
        }
        // Linux needs no write permission to delete a file; giving it back is what "clearing
        // read-only" means here, and its failure stops nothing.  The file's new change time is
        // the run's own doing: the checks that follow expect it.
        if (a.readOnly)
            m_tree->clearReadOnly(nullptr, &entry.identity);
    }
    return true;
}

void FolderClean::walkOne(platform::FolderTree::Entry& entry) {
    // An archive of this run that lies inside the folder is never taken into a later batch.
    if (m_settings.mode == FolderMode::Zip && m_archives.contains(entry.path))
        return;
    const bool deletes = m_settings.mode != FolderMode::Zip || m_settings.deleteAfterZip;
    if (deletes && !askAbout(entry))
        return;
    ++m_count;
    // Of a file with several names only the first counts its bytes.  Its other names are
    // recognised even once the first has gone and the count of names has dropped.
    if (!entry.regular ||
        m_firstNames.first(entry.identity.device, entry.identity.inode, entry.links))
        m_size += entry.size;
    if (m_hooks.counted)
        m_hooks.counted(m_count, entry.path);

    switch (m_settings.mode) {
    case FolderMode::Delete: {
        const platform::FileResult removed = m_tree->removeEntry();
        if (!removed.ok())
            report(disposalText::couldNotDelete(entry.path, removed.message));
        break;
    }
    case FolderMode::Recycle: {
        // Files and links are checked right before the move; devices and the like have no
        // identity to check.  The move goes through the folder the walk opened.
        const platform::FileResult moved =
            m_tree->trashEntry(entry.identity.known() ? &entry.identity : nullptr);
        if (moved.status == platform::FileResult::Changed) {
            report(disposalText::changedSinceSearch(entry.path));
        } else if (!moved.ok()) {
            report(disposalText::recycleFailed(moved.message));
            m_stopped = true;
        }
        break;
    }
    case FolderMode::Zip: {
        if (!entry.regular || !m_writer->addFile(entry.path, entry.identity).ok())
            report(disposalText::couldNotZip(entry.path));
        else if (m_writer->flushDue())
            settle(m_writer->flush());
        break;
    }
    }
}

void FolderClean::settle(const zip::ZipWriter::Results& batch) {
    for (const zip::ZipWriter::Stored& file : batch.stored)
        m_stored.insert(fileKey(file.identity), file.identity);
    for (const QString& archive : batch.archives)
        if (!m_archives.contains(archive))
            m_archives << archive;
    if (batch.aborted)
        return; // given up at the user's request: the files simply stay
    for (const QString& path : batch.failed)
        report(disposalText::couldNotZip(path, batch.reasons.value(path)));
}

void FolderClean::endWalk() {
    if (!m_tree->error().isEmpty())
        report(m_tree->error());
    if (m_settings.mode != FolderMode::Zip) {
        m_phase = Phase::Finish;
        return;
    }
    settle(m_writer->flush());
    if (!m_settings.deleteAfterZip) {
        m_phase = Phase::Finish;
        return;
    }
    // A second walk deletes what the archive holds, and the folders that are then empty.
    m_tree = std::make_unique<platform::FolderTree>(m_settings.folder, driveRoots());
    QString why;
    if (!m_tree->open(&why)) {
        report(QStringLiteral("Can't open folder %1: %2").arg(m_settings.folder, why));
        m_phase = Phase::Finish;
        return;
    }
    m_tree->setRemoveFolders(true);
    m_phase = Phase::DeletePass;
}

void FolderClean::deleteStored() {
    platform::FolderTree::Entry entry;
    if (!m_tree->next(&entry)) {
        if (!m_tree->error().isEmpty())
            report(m_tree->error());
        m_phase = Phase::Finish;
        return;
    }
    if (!entry.regular)
        return;
    const auto stored = m_stored.constFind(fileKey(entry.identity));
    if (stored == m_stored.constEnd())
        return;
    const platform::FileResult removed = m_tree->removeEntry(&stored.value());
    if (!removed.ok())
        report(disposalText::couldNotDelete(entry.path, removed.message));
}

void FolderClean::finish() {
    m_phase = Phase::Done;
    if (m_settings.mode != FolderMode::Zip || m_settings.deleteAfterZip)
        m_tree->removeFolder(); // stays when something in it could not go
    if (m_count == 0)
        return;
    IniFile ini = settingsFile();
    const QDate today = QDate::currentDate();
    const Result<> saved = m_settings.mode == FolderMode::Zip
                               ? addZipTotals(ini, m_count, m_size, today)
                               : addDeletionTotals(ini, m_count, m_size, 0, 0, today);
    if (!saved)
        report(disposalText::totalsNotSaved(saved.message()));
}

QString FolderClean::resultText() const {
    if (m_count == 0)
        return QString();
    if (m_settings.mode == FolderMode::Zip)
        return QStringLiteral("Zipped up ") + FormatThousands(m_count) + QStringLiteral(" files") +
               (m_aborted ? QStringLiteral(" (Note: Zip operation canceled ... not all files "
                                           "zipped)")
                          : QString());
    return QStringLiteral("Deleted ") + FormatThousands(m_count) +
           QStringLiteral(" files for a savings of ") + FormatThousands(m_size) +
           QStringLiteral(" bytes.") +
           (m_aborted
                ? QStringLiteral(" (Note: Deletion operation canceled ... not all files deleted)")
                : QString());
}
