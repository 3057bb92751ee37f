#include "delete/reallydelete.h"

#include "app/protection.h"
#include "app/settings.h"
#include "platform/drives.h"
#include "platform/fileops.h"
#include "platform/trash.h"
#include "zip/zipwriter.h"

#include <QDate>
#include <algorithm>

// ---- Archive names ----------------------------------------------------------------------------

QString archiveFolder(const QString& zipFolder) {
    if (!zipFolder.isEmpty())
        return zipFolder;
    const std::optional<platform::Drive> c = platform::driveByLetter(QLatin1Char('C'));
    return c ? c->root : QStringLiteral("/");
}

QString makeArchiveName(const QString& tag, QChar driveLetter, const QDateTime& moment,
                        const QString& zipFolder, const QLocale& locale) {
    QString name = QStringLiteral("Drive-") + driveLetter.toUpper() + QLatin1Char('-') + tag +
                   locale.toString(moment, QStringLiteral("ddMMMyyhhmm")) + QStringLiteral(".zip");
    // A month name never holds a "/", but the name must stay one name whatever the locale says.
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    QString base = archiveFolder(zipFolder);
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base + name;
}

QChar driveLetterOfPath(const QString& path) {
    const std::optional<platform::Drive> drive = platform::driveOfPath(path);
    return drive ? drive->letter : QLatin1Char('C');
}

// ---- Trash ------------------------------------------------------------------------------------

bool sendToRecycleBin(const QString& path, QString* error) {
    return platform::moveToTrash(path, error);
}

// ---- The two panels ---------------------------------------------------------------------------

bool panelLess(const QString& a, const QString& b) {
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

void sortPanel(QStringList& panel) {
    std::sort(panel.begin(), panel.end(), panelLess);
}

void mergeIntoPanel(QStringList& panel, QStringList entries) {
    if (entries.isEmpty())
        return;
    sortPanel(entries);
    QStringList merged;
    merged.reserve(panel.size() + entries.size());
    std::merge(panel.cbegin(), panel.cend(), entries.cbegin(), entries.cend(),
               std::back_inserter(merged), panelLess);
    panel = std::move(merged);
}

QStringList takeFlagged(QStringList& panel, const QVector<bool>& flagged) {
    QStringList taken;
    QStringList kept;
    kept.reserve(panel.size());
    for (qsizetype i = 0; i < panel.size(); ++i) {
        if (i < flagged.size() && flagged[i])
            taken.append(panel[i]);
        else
            kept.append(panel[i]);
    }
    panel = std::move(kept);
    return taken;
}

PanelSplit sortIntoPanels(const QStringList& paths, ProtectedFolders& folders,
                          const std::function<void(qsizetype visited)>& step) {
    QVector<bool> isProtected(paths.size(), false);
    qsizetype visited = 0;
    for (qsizetype i = paths.size() - 1; i >= 0; --i) {
        if (step)
            step(visited);
        ++visited;
        isProtected[i] = folders.lookup(paths[i], true);
    }
    PanelSplit split;
    for (qsizetype i = 0; i < paths.size(); ++i)
        (isProtected[i] ? split.keep : split.deletion).append(paths[i]);
    return split;
}

QString keepReasonText(const QString& path, ProtectedFolders& folders) {
    const QString head =
        QStringLiteral("This file \"") + path + QStringLiteral("\" is on the DO NOT DELETE LIST ");
    int reason = ProtectedFolders::NotProtected;
    if (folders.lookup(path, true, &reason))
        return head + QStringLiteral("since the folder that it is stored in is ") +
               ProtectedFolders::reasonText(reason);
    return head + QStringLiteral("because you moved it here.");
}

// ---- Disposal runs ----------------------------------------------------------------------------

namespace disposalText {

QString couldNotDelete(const QString& path) {
    return QStringLiteral("Couldn't delete file - ") + path;
}

QString couldNotZip(const QString& path) {
    return QStringLiteral("Couldn't zip up file - ") + path;
}

QString recycleFailed() {
    return QStringLiteral("An error occurred sending files to the recycle bin.  The bin may be "
                          "full.");
}

} // namespace disposalText

namespace {

void started(const DisposalHooks& hooks, qsizetype index, const QString& path) {
    if (hooks.fileStarted)
        hooks.fileStarted(index, path);
}

void report(const DisposalHooks& hooks, DisposalOutcome& outcome, const QString& message) {
    ++outcome.failed;
    if (hooks.error)
        hooks.error(message);
}

bool abortAsked(const DisposalHooks& hooks) {
    return hooks.abortRequested && hooks.abortRequested();
}

// Deletes the files a flush reported stored and reports the ones it could not store.
void settleBatch(const zip::ZipWriter::Results& results, const DisposalHooks& hooks,
                 DisposalOutcome& outcome) {
    for (const QString& path : results.stored) {
        if (platform::removeFile(path))
            ++outcome.disposed;
        else
            report(hooks, outcome, disposalText::couldNotDelete(path));
    }
    // A batch given up at the user's request is no failure: its files simply stay.
    if (results.aborted)
        return;
    for (const QString& path : results.failed)
        report(hooks, outcome, disposalText::couldNotZip(path));
}

} // namespace

DisposalOutcome deleteFiles(const QStringList& files, qint64 savings, const DisposalHooks& hooks) {
    DisposalOutcome outcome;
    for (qsizetype i = 0; i < files.size(); ++i) {
        started(hooks, i, files[i]);
        if (platform::removeFile(files[i]))
            ++outcome.disposed;
        else
            report(hooks, outcome, disposalText::couldNotDelete(files[i]));
    }
    IniFile ini = settingsFile();
    addDeletionTotals(ini, files.size(), savings, 0, 0, QDate::currentDate());
    return outcome;
}

DisposalOutcome recycleFiles(const QStringList& files, qint64 savings, const DisposalHooks& hooks) {
    DisposalOutcome outcome;
    for (qsizetype i = 0; i < files.size(); ++i) {
        started(hooks, i, files[i]);
        if (!sendToRecycleBin(files[i])) {
            report(hooks, outcome, disposalText::recycleFailed());
            outcome.stopped = i + 1 < files.size();
            break;
        }
        ++outcome.disposed;
    }
    IniFile ini = settingsFile();
    addDeletionTotals(ini, 0, 0, files.size(), savings, QDate::currentDate());
    return outcome;
}

DisposalOutcome zipFiles(const QStringList& files, qint64 savings, const ZipRunSettings& settings,
                         const DisposalHooks& hooks) {
    DisposalOutcome outcome;
    const QDateTime moment =
        settings.moment.isValid() ? settings.moment : QDateTime::currentDateTime();
    {
        zip::ZipWriter writer;
        writer.setProgress([&hooks](int percent) {
            if (hooks.gauge)
                hooks.gauge(percent);
            return abortAsked(hooks);
        });
        auto flush = [&]() {
            if (writer.pendingCount() > 0)
                settleBatch(writer.flush(), hooks, outcome);
        };

        for (qsizetype i = 0; i < files.size(); ++i) {
            if (abortAsked(hooks)) {
                outcome.aborted = true;
                outcome.stopped = true;
                break;
            }
            const QString& path = files[i];
            const QString archive = makeArchiveName(settings.tag, driveLetterOfPath(path), moment,
                                                    settings.zipFolder, settings.locale);
            if (!writer.isOpen() || writer.archivePath() != archive) {
                // The batch of the previous archive is written (and its files deleted) before
                // the next archive is opened.
                flush();
                const bool opened = writer.open(archive);
                settleBatch(writer.takeResults(), hooks, outcome);
                if (opened)
                    writer.setComment(settings.comment);
            }
            started(hooks, i, path);
            if (!writer.isOpen() || !writer.addFile(path)) {
                report(hooks, outcome, disposalText::couldNotZip(path));
                continue;
            }
            if (writer.flushDue())
                flush();
        }
        flush();
        if (abortAsked(hooks))
            outcome.aborted = true;
        // Closing the writer has nothing left to write; whatever it still reports is settled.
        settleBatch(writer.takeResults(), hooks, outcome);
    }
    IniFile ini = settingsFile();
    addZipTotals(ini, files.size(), savings, QDate::currentDate());
    return outcome;
}
