#include "delete/reallydelete.h"

#include "app/inifile.h"
#include "app/protection.h"
#include "app/totals.h"
#include "platform/drives.h"
#include "platform/fileops.h"
#include "platform/trash.h"
#include "zip/zipwriter.h"

#include <QDate>
#include <algorithm>
#include <memory>
#include <vector>

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

platform::FileResult sendToRecycleBin(const ListedFile& file) {
    return platform::moveToTrashIfUnchanged(file.path, file.identity);
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

QString recycleQuestion() {
    return QStringLiteral(
        "Note that the recycle bin may be full or that you may have the \"Immediately Remove Files "
        "On Delete\" option turned on in the recycle bin. If either is true, then you will not be "
        "able to recover the deleted files from the recycle bin. \r\rSend to the recycle bin "
        "anyway?");
}

QString recycleFailed() {
    return QStringLiteral("An error occurred sending files to the recycle bin.  The bin may be "
                          "full.");
}

QString totalsNotSaved(const QString& why) {
    return QStringLiteral("The running totals could not be saved: ") + why;
}

QString changedSinceSearch(const QString& path) {
    return path + QStringLiteral(" has changed since the search; not deleted");
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

// The running totals could not be stored: said once, after the run; no file is affected.
void reportTotals(const DisposalHooks& hooks, const QString& why) {
    if (hooks.error)
        hooks.error(disposalText::totalsNotSaved(why));
}

bool abortAsked(const DisposalHooks& hooks) {
    return hooks.abortRequested && hooks.abortRequested();
}

// Reports a file that was not deleted: changed since it was listed, or refused by the system.
void reportKept(const DisposalHooks& hooks, DisposalOutcome& outcome, const QString& path,
                const platform::FileResult& result) {
    report(hooks, outcome,
           result.status == platform::FileResult::Changed ? disposalText::changedSinceSearch(path)
                                                          : disposalText::couldNotDelete(path));
}

// Deletes the files a flush reported stored, each only while it is as it was read, and reports
// the ones it could not store.
void settleBatch(const zip::ZipWriter::Results& results, const DisposalHooks& hooks,
                 DisposalOutcome& outcome) {
    for (const zip::ZipWriter::Stored& file : results.stored) {
        const platform::FileResult removed =
            platform::removeFileIfUnchanged(file.path, file.identity);
        if (removed.ok())
            ++outcome.disposed;
        else
            reportKept(hooks, outcome, file.path, removed);
    }
    // A batch given up at the user's request is no failure: its files simply stay.
    if (results.aborted)
        return;
    for (const QString& path : results.failed)
        report(hooks, outcome, disposalText::couldNotZip(path));
}

} // namespace

DisposalOutcome deleteFiles(const ListedFiles& files, qint64 savings, const DisposalHooks& hooks) {
    DisposalOutcome outcome;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const ListedFile& file = files[i];
        started(hooks, i, file.path);
        const platform::FileResult removed =
            platform::removeFileIfUnchanged(file.path, file.identity);
        if (removed.ok())
            ++outcome.disposed;
        else
            reportKept(hooks, outcome, file.path, removed);
    }
    IniFile ini = settingsFile();
    QString why;
    if (!addDeletionTotals(ini, files.size(), savings, 0, 0, QDate::currentDate(), &why))
        reportTotals(hooks, why);
    return outcome;
}

DisposalOutcome recycleFiles(const ListedFiles& files, qint64 savings, const DisposalHooks& hooks) {
    DisposalOutcome outcome;
    for (qsizetype i = 0; i < files.size(); ++i) {
        started(hooks, i, files[i].path);
        const platform::FileResult moved = sendToRecycleBin(files[i]);
        if (moved.status == platform::FileResult::Changed) {
            report(hooks, outcome, disposalText::changedSinceSearch(files[i].path));
            continue;
        }
        if (!moved.ok()) {
            report(hooks, outcome, disposalText::recycleFailed());
            outcome.stopped = i + 1 < files.size();
            break;
        }
        ++outcome.disposed;
    }
    IniFile ini = settingsFile();
    QString why;
    if (!addDeletionTotals(ini, 0, 0, files.size(), savings, QDate::currentDate(), &why))
        reportTotals(hooks, why);
    return outcome;
}

DisposalOutcome zipFiles(const ListedFiles& files, qint64 savings, const ZipRunSettings& settings,
                         const DisposalHooks& hooks) {
    DisposalOutcome outcome;
    const QDateTime moment =
        settings.moment.isValid() ? settings.moment : QDateTime::currentDateTime();
    {
        // One writer per archive name (per drive), so that files of one drive go into one
        // archive however the drives alternate in the list.
        std::vector<std::unique_ptr<zip::ZipWriter>> writers;
        auto writerFor = [&](const QString& archive) -> zip::ZipWriter& {
            for (const auto& writer : writers)
                if (writer->archivePath() == archive)
                    return *writer;
            auto writer = std::make_unique<zip::ZipWriter>();
            writer->setProgress([&hooks](int percent) {
                if (hooks.gauge)
                    hooks.gauge(percent);
                return abortAsked(hooks);
            });
            writer->setComment(settings.comment);
            writer->open(archive);
            writers.push_back(std::move(writer));
            return *writers.back();
        };

        for (qsizetype i = 0; i < files.size(); ++i) {
            if (abortAsked(hooks)) {
                outcome.aborted = true;
                outcome.stopped = true;
                break;
            }
            const ListedFile& file = files[i];
            const QString archive = makeArchiveName(settings.tag, driveLetterOfPath(file.path),
                                                    moment, settings.zipFolder, settings.locale);
            zip::ZipWriter& writer = writerFor(archive);
            started(hooks, i, file.path);
            const platform::FileResult added = writer.addFile(file.path, file.identity);
            if (added.status == platform::FileResult::Changed) {
                report(hooks, outcome, disposalText::changedSinceSearch(file.path));
                continue;
            }
            if (!added.ok()) {
                report(hooks, outcome, disposalText::couldNotZip(file.path));
                continue;
            }
            if (writer.flushDue())
                settleBatch(writer.flush(), hooks, outcome);
        }
        // What is pending is written now; after an abort the write is given up at once and the
        // files stay.
        for (const auto& writer : writers)
            settleBatch(writer->flush(), hooks, outcome);
        if (abortAsked(hooks))
            outcome.aborted = true;
    }
    IniFile ini = settingsFile();
    QString why;
    if (!addZipTotals(ini, files.size(), savings, QDate::currentDate(), &why))
        reportTotals(hooks, why);
    return outcome;
}
