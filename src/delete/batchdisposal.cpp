#include "delete/batchdisposal.h"

#include "app/format.h"
#include "app/inifile.h"
#include "app/protection.h"
#include "app/zipsettings.h"
#include "delete/ownarchives.h"
#include "platform/paths.h"

namespace {

QString filesText(qint64 count) {
    return FormatThousands(count) +
           (count == 1 ? QStringLiteral(" file") : QStringLiteral(" files"));
}

QString bytesText(qint64 bytes) {
    return FormatThousands(bytes) + QStringLiteral(" bytes");
}

QString question(DisposalKind kind, qsizetype count, qint64 bytes, const QString& zipFolder) {
    const QString what =
        filesText(count) + QStringLiteral(" (") + bytesText(bytes) + QLatin1Char(')');
    switch (kind) {
    case DisposalKind::Delete:
        return QStringLiteral("Delete ") + what + QStringLiteral(" for good?");
    case DisposalKind::Recycle:
        return QStringLiteral("Send ") + what + QStringLiteral(" to the trash?");
    case DisposalKind::Zip:
        break;
    }
    return QStringLiteral("Zip ") + what + QStringLiteral(" into ") + archiveFolder(zipFolder) +
           QStringLiteral(" and then delete them?");
}

// "Deleted 10 files, 1,234 bytes." when every file went; "Deleted 8 of 10 files; 2 failed."
// otherwise, since the bytes of the files that stayed are not known.
QString closingLine(DisposalKind kind, const DisposalOutcome& outcome, qsizetype count,
                    qint64 bytes, const QString& zipFolder) {
    const bool whole = outcome.disposed == count && outcome.failed == 0;
    const QString files =
        whole ? filesText(count)
              : FormatThousands(outcome.disposed) + QStringLiteral(" of ") + filesText(count);
    QString line;
    switch (kind) {
    case DisposalKind::Delete:
        line = QStringLiteral("Deleted ") + files;
        break;
    case DisposalKind::Recycle:
        line = QStringLiteral("Sent ") + files + QStringLiteral(" to the trash");
        break;
    case DisposalKind::Zip:
        line = QStringLiteral("Zipped ") + files + QStringLiteral(" into ") +
               archiveFolder(zipFolder) + QStringLiteral(" and deleted them");
        break;
    }
    if (whole)
        return line + QStringLiteral(", ") + bytesText(bytes) + QLatin1Char('.');
    return line + QStringLiteral("; ") + FormatThousands(outcome.failed) +
           QStringLiteral(" failed.");
}

// Why the run may not start: a missing or unreadable non-delete list protects nothing, and
// archives need a folder they can be written into.  Empty when it may.
QString startProblem(const BatchDisposalRequest& request, const ProtectedFolders& folders) {
    const QString listProblem = folders.listProblem();
    if (!listProblem.isEmpty())
        return listProblem;
    if (request.kind != DisposalKind::Zip)
        return QString();
    const QString folder = archiveFolder(request.zipFolder);
    const platform::FileResult writable = platform::writableFolder(folder);
    if (writable.ok())
        return QString();
    return QStringLiteral("Can't write archives into the folder \"") + folder +
           QStringLiteral("\": ") + writable.message;
}

struct Panels {
    ListedFiles deletion; // files that may go, in the order handed over
    qint64 keptBytes = 0; // bytes of the held-back files whose size is known
    qsizetype kept = 0;   // files held back
};

// Sorts the files as the deletion window does and reports every file held back with its reason.
Panels holdBackProtected(const ListedFiles& files, ProtectedFolders& folders,
                         const BatchDisposalIo& io) {
    const PanelSplit split = sortIntoPanels(pathsOf(files), folders);
    Panels panels;
    // Both halves keep the order handed over, so the kept paths are met in turn.
    for (const ListedFile& file : files) {
        if (panels.kept < split.keep.size() && split.keep[panels.kept] == file.path) {
            ++panels.kept;
            if (file.identity.known())
                panels.keptBytes += file.identity.size;
            if (io.warn)
                io.warn(keepReasonText(file.path, folders));
        } else {
            panels.deletion.append(file);
        }
    }
    return panels;
}

struct LastCopies {
    qsizetype count = 0;
    qint64 bytes = 0;
};

// Takes the last copies of their contents off the files that may go, each named with the
// reason.
LastCopies holdBackLastCopies(lastcopy::Guard& copies, Panels& panels, const BatchDisposalIo& io) {
    LastCopies last;
    copies.prove();
    const QStringList held = copies.holdBack(pathsOf(panels.deletion));
    const QSet<QString> kept(held.begin(), held.end());
    ListedFiles going;
    for (const ListedFile& file : std::as_const(panels.deletion)) {
        if (kept.contains(file.path)) {
            ++last.count;
            if (file.identity.known())
                last.bytes += file.identity.size;
            if (io.warn)
                io.warn(disposalText::keptAsLastCopy(file.path, lastcopy::reasonText()));
        } else {
            going.append(file);
        }
    }
    panels.deletion = going;
    return last;
}

ZipRunSettings zipSettings(const BatchDisposalRequest& request) {
    ZipRunSettings zip;
    zip.tag = request.tag;
    zip.zipFolder = request.zipFolder;
    zip.comment = readZipComment(settingsFile()); // the comment last given to an archive
    zip.moment = QDateTime::currentDateTime();
    return zip;
}

} // namespace

BatchDisposalResult disposeInBatch(const BatchDisposalRequest& request, const BatchDisposalIo& io) {
    BatchDisposalResult result;
    ProtectedFolders folders;
    folders.buildFromWorld();
    result.error = startProblem(request, folders);
    if (!result.error.isEmpty())
        return result;

    ListedFiles files = request.files;
    const ownarchives::HeldBack archives = ownarchives::holdBack(
        files, ownarchives::zipFoldersOfWorld(request.zipFolder), request.includeArchives, io.warn);
    Panels panels = holdBackProtected(files, folders, io);
    result.refused = panels.kept + archives.count;
    lastcopy::Guard copies(request.copies);
    if (copies.active()) {
        const LastCopies last = holdBackLastCopies(copies, panels, io);
        result.refused += last.count;
        panels.keptBytes += last.bytes;
    }
    const qsizetype count = panels.deletion.size();
    if (count == 0) {
        if (io.say)
            io.say(panels.kept > 0 ? QStringLiteral("No files to dispose of: every file listed "
                                                    "is in a protected folder.")
                                   : QStringLiteral("No files to dispose of."));
        return result;
    }

    const qint64 savings = qMax<qint64>(0, request.savings - panels.keptBytes - archives.bytes);
    if (!request.assumeYes &&
        !(io.confirm && io.confirm(question(request.kind, count, savings, request.zipFolder)))) {
        result.declined = true;
        if (io.say)
            io.say(QStringLiteral("Files not deleted"));
        return result;
    }

    DisposalHooks hooks;
    hooks.error = [&io](const QString& message) {
        if (io.warn)
            io.warn(message);
    };
    // The folders are judged again as each file goes, on the folder actually opened: one may
    // have been swapped for a link while the question waited.
    hooks.guard = folders.guard();
    hooks.abortRequested = io.abortRequested;
    // Each duplicate is compared again with a copy that stays right before it goes.
    if (copies.active())
        hooks.lastCopy = [&copies](const ListedFile& file) { return copies.check(file); };
    DisposalRun run(request.kind, panels.deletion, savings, hooks,
                    request.kind == DisposalKind::Zip ? zipSettings(request) : ZipRunSettings());
    while (run.step(1024)) {
    }
    const DisposalOutcome& outcome = run.outcome();
    result.disposed = outcome.disposed;
    result.failed = outcome.failed;
    if (io.say)
        io.say(closingLine(request.kind, outcome, count, savings, request.zipFolder));
    return result;
}
