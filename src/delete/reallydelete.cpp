#include "delete/reallydelete.h"

#include "app/inifile.h"
#include "app/protection.h"
#include "app/totals.h"
#include "platform/drives.h"
#include "platform/fileops.h"
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

QString couldNotDelete(const QString& path, const QString& reason) {
    const QString text = QStringLiteral("Couldn't delete file - ") + path;
    return reason.isEmpty() ? text : text + QStringLiteral(": ") + reason;
}

QString couldNotZip(const QString& path, const QString& reason) {
    const QString text = QStringLiteral("Couldn't zip up file - ") + path;
    return reason.isEmpty() ? text : text + QStringLiteral(": ") + reason;
}

QString recycleQuestion() {
    return QStringLiteral(
        "Note that the recycle bin may be full or that you may have the \"Immediately Remove Files "
        "On Delete\" option turned on in the recycle bin. If either is true, then you will not be "
        "able to recover the deleted files from the recycle bin. \r\rSend to the recycle bin "
        "anyway?");
}

QString recycleFailed(const QString& reason) {
    return QStringLiteral("An error occurred sending files to the recycle bin.  ") +
           (reason.isEmpty() ? QStringLiteral("The bin may be full.") : reason);
}

QString heldBack(const QString& path, const QString& reason) {
    return QStringLiteral("This file \"") + path +
           QStringLiteral("\" is on the DO NOT DELETE LIST since the folder that it is stored in "
                          "is ") +
           reason;
}

QString totalsNotSaved(const QString& why) {
    return QStringLiteral("The running totals could not be saved: ") + why;
}

QString keptAsLastCopy(const QString& path, const QString& reason) {
    return QStringLiteral("This file \"") + path + QStringLiteral("\" is kept since ") + reason +
           QLatin1Char('.');
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

// Reports a file that was not deleted: changed since it was listed, in a protected folder, or
// refused by the system.
void reportKept(const DisposalHooks& hooks, DisposalOutcome& outcome, const QString& path,
                const platform::FileResult& result) {
    switch (result.status) {
    case platform::FileResult::Changed:
        report(hooks, outcome, disposalText::changedSinceSearch(path));
        break;
    case platform::FileResult::Protected:
        report(hooks, outcome, disposalText::heldBack(path, result.message));
        break;
    default:
        report(hooks, outcome, disposalText::couldNotDelete(path, result.message));
        break;
    }
}

// Deletes the files a flush reported stored, each only while it is as it was read, and reports
// the ones it could not store.
void settleBatch(const zip::ZipWriter::Results& results, platform::Disposer& disposer,
                 const DisposalHooks& hooks, DisposalOutcome& outcome) {
    for (const zip::ZipWriter::Stored& file : results.stored) {
        const platform::FileResult removed = disposer.remove(file.path, file.identity);
        if (removed.ok())
            ++outcome.disposed;
        else
            reportKept(hooks, outcome, file.path, removed);
    }
    // A batch given up at the user's request is no failure: its files simply stay.
    if (results.aborted)
        return;
    for (const QString& path : results.failed)
        report(hooks, outcome, disposalText::couldNotZip(path, results.reasons.value(path)));
}

// ---- one run in steps ----------------------------------------------------------------------

// The progress hook of a batch written inside a step: the window's gauge and its abort request.
std::function<bool(int)> stepProgress(const DisposalHooks& hooks) {
    return [&hooks](int percent) {
        if (hooks.gauge)
            hooks.gauge(percent);
        return abortAsked(hooks);
    };
}

} // namespace

struct DisposalRun::Writers {
    // One writer per archive name (per drive), so that files of one drive go into one archive
    // however the drives alternate in the list.
    std::vector<std::unique_ptr<zip::ZipWriter>> list;

    zip::ZipWriter& writerFor(const QString& archive, const QString& comment) {
        for (const auto& writer : list)
            if (writer->archivePath() == archive)
                return *writer;
        auto writer = std::make_unique<zip::ZipWriter>();
        writer->setComment(comment);
        writer->open(archive);
        list.push_back(std::move(writer));
        return *list.back();
    }
};

DisposalRun::DisposalRun(DisposalKind kind, ListedFiles files, qint64 savings, DisposalHooks hooks,
                         ZipRunSettings zip)
    : m_kind(kind), m_files(std::move(files)), m_savings(savings), m_hooks(std::move(hooks)),
      m_zip(std::move(zip)), m_writers(new Writers), m_disposer(m_hooks.guard) {
    if (!m_zip.moment.isValid())
        m_zip.moment = QDateTime::currentDateTime();
}

DisposalRun::~DisposalRun() = default;

bool DisposalRun::step(int files) {
    Stage now = advance(files);
    while (now == Stage::FlushDue) {
        // Written here: the window's gauge and abort request follow the write.
        m_due->setProgress(stepProgress(m_hooks));
        now = settle(m_due->flush());
    }
    return now != Stage::Done;
}

DisposalRun::Stage DisposalRun::advance(int files) {
    for (int n = 0; n < files && !m_done && !m_due && !m_finishing; ++n) {
        if (m_next >= m_files.size() || m_stopped) {
            finish();
            break;
        }
        if (m_kind == DisposalKind::Zip && abortAsked(m_hooks)) {
            m_outcome.aborted = true;
            m_outcome.stopped = true;
            finish();
            break;
        }
        const qsizetype i = m_next++;
        started(m_hooks, i, m_files[i].path);
        handle(m_files[i]);
    }
    return stage();
}

DisposalRun::Stage DisposalRun::settle(const zip::ZipWriter::Results& results) {
    m_due = nullptr;
    settleBatch(results, m_disposer, m_hooks, m_outcome);
    if (m_finishing)
        nextFinalBatch();
    return stage();
}

DisposalRun::Stage DisposalRun::stage() const {
    if (m_due)
        return Stage::FlushDue;
    return m_done ? Stage::Done : Stage::More;
}

void DisposalRun::handle(const ListedFile& file) {
    if (m_hooks.lastCopy) {
        const QString reason = m_hooks.lastCopy(file);
        if (!reason.isEmpty()) {
            report(m_hooks, m_outcome, disposalText::keptAsLastCopy(file.path, reason));
            return;
        }
    }
    switch (m_kind) {
    case DisposalKind::Delete: {
        const platform::FileResult removed = m_disposer.remove(file.path, file.identity);
        if (removed.ok())
            ++m_outcome.disposed;
        else
            reportKept(m_hooks, m_outcome, file.path, removed);
        break;
    }
    case DisposalKind::Recycle: {
        const platform::FileResult moved = m_disposer.trash(file.path, file.identity);
        if (moved.status == platform::FileResult::Changed ||
            moved.status == platform::FileResult::Protected) {
            reportKept(m_hooks, m_outcome, file.path, moved);
        } else if (!moved.ok()) {
            report(m_hooks, m_outcome, disposalText::recycleFailed(moved.message));
            m_outcome.stopped = m_next < m_files.size();
            m_stopped = true;
        } else {
            ++m_outcome.disposed;
        }
        break;
    }
    case DisposalKind::Zip: {
        zip::ZipWriter& writer =
            m_writers->writerFor(makeArchiveName(m_zip.tag, driveLetterOfPath(file.path),
                                                 m_zip.moment, m_zip.zipFolder, m_zip.locale),
                                 m_zip.comment);
        const platform::FileResult added = writer.addFile(file.path, file.identity);
        if (added.status == platform::FileResult::Changed)
            report(m_hooks, m_outcome, disposalText::changedSinceSearch(file.path));
        else if (!added.ok())
            report(m_hooks, m_outcome, disposalText::couldNotZip(file.path, added.message));
        else if (writer.flushDue())
            m_due = &writer;
        break;
    }
    }
}

void DisposalRun::finish() {
    // What is pending is written now, archive by archive; after an abort each write is given up
    // at once and the files stay.
    m_finishing = true;
    m_finalBatch = 0;
    nextFinalBatch();
}

void DisposalRun::nextFinalBatch() {
    if (m_finalBatch < m_writers->list.size()) {
        m_due = m_writers->list[m_finalBatch++].get();
        return;
    }
    closeRun();
}

void DisposalRun::closeRun() {
    m_done = true;
    if (m_kind == DisposalKind::Zip && abortAsked(m_hooks))
        m_outcome.aborted = true;
    m_writers->list.clear();

    IniFile ini = settingsFile();
    const qint64 count = m_files.size();
    const QDate today = QDate::currentDate();
    Result<> saved;
    switch (m_kind) {
    case DisposalKind::Delete:
        saved = addDeletionTotals(ini, count, m_savings, 0, 0, today);
        break;
    case DisposalKind::Recycle:
        saved = addDeletionTotals(ini, 0, 0, count, m_savings, today);
        break;
    case DisposalKind::Zip:
        saved = addZipTotals(ini, count, m_savings, today);
        break;
    }
    if (!saved)
        reportTotals(m_hooks, saved.message());
}

namespace {

DisposalOutcome runToTheEnd(DisposalKind kind, const ListedFiles& files, qint64 savings,
                            const DisposalHooks& hooks, const ZipRunSettings& zip = {}) {
    DisposalRun run(kind, files, savings, hooks, zip);
    while (run.step(1024)) {
    }
    return run.outcome();
}

} // namespace

DisposalOutcome deleteFiles(const ListedFiles& files, qint64 savings, const DisposalHooks& hooks) {
    return runToTheEnd(DisposalKind::Delete, files, savings, hooks);
}

DisposalOutcome recycleFiles(const ListedFiles& files, qint64 savings, const DisposalHooks& hooks) {
    return runToTheEnd(DisposalKind::Recycle, files, savings, hooks);
}

DisposalOutcome zipFiles(const ListedFiles& files, qint64 savings, const ZipRunSettings& settings,
                         const DisposalHooks& hooks) {
    return runToTheEnd(DisposalKind::Zip, files, savings, hooks, settings);
}
