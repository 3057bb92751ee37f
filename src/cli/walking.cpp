#include "cli/walking.h"

#include "platform/dirsearch.h"
#include "platform/drives.h"
#include "platform/names.h"
#include "platform/paths.h"
#include "scan/drivechoice.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace cli {

QList<QChar> defaultDrives() {
    const QStringList entries = drivechoice::systemDriveEntries();
    const drivechoice::Ticks ticks =
        drivechoice::initialTicks(entries, drivechoice::currentDriveEntry());
    return drivechoice::tickedLetters(entries, ticks.ticked);
}

namespace {

// Where the walk of a target starts: the canonical path of its folder (or drive root), and the
// device it lies on.
struct WalkStart {
    QString path;
    quint64 device = 0;
    bool known = false; // false when the folder could not be looked at
};

WalkStart walkStartOf(const Target& target) {
    WalkStart start;
    QString folder = target.folder;
    if (!target.drive.isNull()) {
        const auto drive = platform::driveByLetter(target.drive);
        if (!drive)
            return start;
        folder = drive->root;
    }
    start.path = platform::canonicalPath(folder);
    platform::DirEntry entry;
    start.known = platform::lookUpEntry(start.path, &entry);
    start.device = entry.device;
    return start;
}

// True when a walk from `outer` walks `inner` too: inner is outer's folder or lies below it, and
// every folder on the way down is one a walk enters (not hidden, on outer's file system).  The
// paths are canonical, so no link lies on the way.
bool walkReaches(const WalkStart& outer, const WalkStart& inner) {
    if (!outer.known || !inner.known)
        return false;
    if (inner.path == outer.path)
        return true;
    const QString below = platform::pathBelow(outer.path, inner.path);
    if (below.isNull())
        return false;
    QString folder = outer.path;
    for (const QString& name : below.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (name.startsWith(QLatin1Char('.')))
            return false;
        folder = platform::joinPath(folder, name);
        platform::DirEntry entry;
        if (!platform::lookUpEntry(folder, &entry) || entry.device != outer.device)
            return false;
    }
    return true;
}

// The targets without those another target's walk covers (the same drive or folder however
// written, a folder below another), so that no file is met twice in one run.  Of targets that
// are the same place, the first stays.
QList<Target> withoutOverlaps(const QList<Target>& places) {
    QList<WalkStart> starts;
    for (const Target& target : places)
        starts << walkStartOf(target);
    QList<Target> kept;
    for (qsizetype i = 0; i < places.size(); ++i) {
        bool covered = false;
        for (qsizetype j = 0; j < places.size() && !covered; ++j)
            covered = j != i && walkReaches(starts[j], starts[i]) &&
                      (j < i || !walkReaches(starts[i], starts[j]));
        if (!covered)
            kept << places[i];
    }
    return kept;
}

} // namespace

Targets resolveTargets(const QStringList& arguments) {
    Targets result;
    if (arguments.isEmpty()) {
        for (const QChar letter : defaultDrives())
            result.places.append({letter, QString()});
        if (result.places.isEmpty())
            result.error = QStringLiteral("no drive to search: name a drive or a folder");
        return result;
    }
    static const QRegularExpression letterPattern(QStringLiteral("^[A-Za-z]:?$"));
    for (const QString& argument : arguments) {
        if (letterPattern.match(argument).hasMatch()) {
            const auto drive = platform::driveByLetter(argument.at(0));
            if (!drive) {
                result.error = QStringLiteral("no drive %1:").arg(argument.at(0).toUpper());
                return result;
            }
            result.places.append({drive->letter, QString()});
            continue;
        }
        const QFileInfo info(argument);
        if (!info.isDir()) {
            result.error = QStringLiteral("not a folder: %1").arg(argument);
            return result;
        }
        result.places.append({QChar(), info.absoluteFilePath()});
    }
    result.places = withoutOverlaps(result.places);
    return result;
}

// ---- progress --------------------------------------------------------------------------------

namespace {
constexpr std::chrono::milliseconds kProgressInterval(250);
constexpr int kProgressWidth = 100;
} // namespace

Progress::Progress(QIODevice* errors, bool terminal) : m_errors(errors), m_terminal(terminal) {}

Progress::~Progress() {
    clear();
}

void Progress::show(qint64 files, qint64 folders, const QString& folder) {
    if (!m_terminal)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (m_shown && now - m_last < kProgressInterval)
        return;
    m_last = now;
    QString line = QStringLiteral("%1 files, %2 folders: ").arg(files).arg(folders);
    const qsizetype room = kProgressWidth - line.size();
    line += folder.size() > room ? QStringLiteral("...") + folder.right(room - 3) : folder;
    // Back to the line's start, the line, the rest of the old one erased.
    m_errors->write("\r" + platform::encodeName(line) + "\033[K");
    m_shown = true;
}

void Progress::clear() {
    if (m_terminal && m_shown)
        m_errors->write("\r\033[K");
    m_shown = false;
}

void Progress::message(const QString& line) {
    clear();
    m_errors->write(platform::encodeName(line) + '\n');
}

// ---- walking ---------------------------------------------------------------------------------

QString walkTargets(scan::Walker& walker, const QList<Target>& targets, Progress& progress,
                    const std::function<bool()>& stopped) {
    scan::WalkCallbacks& callbacks = walker.callbacks();
    qint64 folders = 0;
    const auto enter = callbacks.enterFolder;
    callbacks.enterFolder = [&](const scan::WalkFolder& folder) {
        ++folders;
        if (enter)
            enter(folder);
    };
    callbacks.progress = [&](const QString& folder) {
        progress.show(walker.fileCount(), folders, folder);
    };
    const auto skipped = callbacks.folderSkipped;
    callbacks.folderSkipped = [&](const QString& path, const QString& reason) {
        progress.message(QStringLiteral("cannot read %1: %2").arg(path, reason));
        if (skipped)
            skipped(path, reason);
    };
    QString failure;
    callbacks.driveFailed = [&](QChar, const QString& root) {
        failure = scan::cantOpenDriveMessage(root);
    };
    for (const Target& target : targets) {
        if (stopped && stopped())
            break;
        if (!target.drive.isNull()) {
            if (!platform::isDriveReady(target.drive))
                failure = QStringLiteral("drive %1: is not ready").arg(target.drive);
            else
                walker.scanAllDrives({target.drive});
        } else if (!walker.walkTree(target.folder) && !(stopped && stopped())) {
            failure = QStringLiteral("cannot read folder %1").arg(target.folder);
        }
        if (!failure.isEmpty())
            break;
    }
    progress.clear();
    callbacks.enterFolder = enter;
    callbacks.progress = nullptr;
    callbacks.folderSkipped = skipped;
    callbacks.driveFailed = nullptr;
    return failure;
}

} // namespace cli
