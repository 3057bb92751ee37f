// The deletion window's runs: the progress panel, and delete, trash or zip over the deletion
// panel in steps from the event loop.

#include "app/shell.h"
#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"
#include "delete/ownarchives.h"
#include "delete/ui/frmreallydelete.h"
#include "delete/ui/frmzipoptions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>

void TfrmReallyDelete::showProgressPanel(bool show) {
    m_pnlButtons->setVisible(!show);
    m_pnlProgress->setVisible(show);
    // The panels stay as they are while their files are being handled.
    m_pages->setEnabled(!show);
}

void TfrmReallyDelete::beginRun(bool cancelEnabled, bool withGauge) {
    m_running = true;
    setFileBarRange(m_bar, m_lb1.size());
    m_bar->show();
    m_gauge1->setValue(0);
    m_gauge1->setVisible(withGauge);
    m_btClose->setEnabled(cancelEnabled);
}

void TfrmReallyDelete::endRun() {
    m_btClose->setEnabled(true);
    m_bar->hide();
    m_gauge1->hide();
    m_running = false;
}

DisposalHooks TfrmReallyDelete::runHooks() {
    DisposalHooks hooks;
    hooks.fileStarted = [this](qsizetype index, const QString& path) {
        m_runIndex = index;
        m_runPath = path;
    };
    hooks.error = [](const QString& message) { msgbox::errorBox(message); };
    hooks.abortRequested = [this]() { return m_abortRequested; };
    // The folders are judged again as each file goes: the panels were sorted when the window
    // opened, and a folder may have been swapped since.
    hooks.guard = shell::protection().guard();
    // A duplicate goes only while a copy that stays still holds its bytes.
    if (m_copies.active())
        hooks.lastCopy = [this](const ListedFile& file) { return m_copies.check(file); };
    return hooks;
}

void TfrmReallyDelete::startRun(DisposalKind kind, const ZipRunSettings& zip) {
    const bool zipping = kind == DisposalKind::Zip;
    m_runKind = kind;
    m_zipFolder = zip.zipFolder;
    m_run = std::make_unique<DisposalRun>(kind, listed(m_lb1), m_savings, runHooks(), zip);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    beginRun(zipping, zipping);
    m_stepTimer.start();
}

void TfrmReallyDelete::stepRun() {
    QElapsedTimer clock;
    clock.start();
    DisposalRun::Stage stage = DisposalRun::Stage::More;
    while (stage == DisposalRun::Stage::More && clock.elapsed() < 25)
        stage = m_run->advance(32);
    m_lblName->setText(m_runPath);
    setFileBarPosition(m_bar, m_runIndex);
    continueRun(stage);
}

void TfrmReallyDelete::continueRun(DisposalRun::Stage stage) {
    switch (stage) {
    case DisposalRun::Stage::More:
        m_stepTimer.start();
        break;
    case DisposalRun::Stage::FlushDue:
        m_gauge1->setValue(0);
        m_flush.start(*m_run->dueBatch());
        // After an abort the batches still due are given up at once.
        if (m_abortRequested)
            m_flush.abort();
        break;
    case DisposalRun::Stage::Done:
        runOver();
        break;
    }
}

void TfrmReallyDelete::batchWritten(const zip::ZipWriter::Results& results) {
    continueRun(m_run->settle(results));
}

void TfrmReallyDelete::runOver() {
    const DisposalOutcome outcome = m_run->outcome();
    const bool zipped = m_runKind == DisposalKind::Zip;
    m_run.reset();
    endRun();
    QApplication::restoreOverrideCursor();
    // Said only when something was in fact stored; failures have been reported file by file.
    if (zipped && !m_abortRequested && outcome.disposed > 0)
        msgbox::plainBox(
            QStringLiteral("Files deleted and stored in archive zip files in the folder \"") +
            archiveFolder(m_zipFolder) + QLatin1Char('"'));
    showProgressPanel(false);
    finishRun();
}

void TfrmReallyDelete::finishRun() {
    m_lb1.clear();
    refreshModels();
    UpdateHeaders();
    done(1);
}

void TfrmReallyDelete::DeleteAllClick() {
    runConfirmed(QStringLiteral("Really delete?"), DisposalKind::Delete);
}

void TfrmReallyDelete::RecycleClick() {
    runConfirmed(disposalText::recycleQuestion(), DisposalKind::Recycle);
}

bool TfrmReallyDelete::ownArchivesAgreed() {
    const QStringList archives = ownarchives::archivesAmong(m_lb1, {shell::defaultZipFolder()});
    if (archives.isEmpty() ||
        msgbox::askYesNo(ownarchives::filesQuestion(archives.size()), QMessageBox::No))
        return true;
    const QSet<QString> kept(archives.begin(), archives.end());
    QVector<bool> flagged(m_lb1.size());
    for (qsizetype i = 0; i < m_lb1.size(); ++i)
        flagged[i] = kept.contains(m_lb1[i]);
    mergeIntoPanel(m_lb2, takeFlagged(m_lb1, flagged));
    m_lb1View->selectionModel()->clear();
    refreshModels();
    updateLeftRight();
    if (!m_lb1.isEmpty())
        return true;
    m_pages->setCurrentIndex(1);
    msgbox::infoBox(QStringLiteral("Files not deleted"));
    return false;
}

void TfrmReallyDelete::runConfirmed(const QString& question, DisposalKind kind) {
    if (NoFilesToDelete() || !ownArchivesAgreed())
        return;
    showProgressPanel(true);
    if (!msgbox::askYesNo(question)) {
        msgbox::infoBox(QStringLiteral("Files not deleted"));
        showProgressPanel(false);
        return;
    }
    startRun(kind);
}

void TfrmReallyDelete::ZipItClick() {
    if (NoFilesToDelete() || !ownArchivesAgreed())
        return;
    showProgressPanel(true);
    QString comment;
    {
        TfrmZipOptions options(this);
        const int answer = options.exec();
        comment = options.comment();
        if (answer != QDialog::Accepted) {
            showProgressPanel(false);
            return;
        }
    }

    ZipRunSettings settings;
    settings.tag = m_archiveTag;
    settings.comment = comment;
    settings.zipFolder = shell::defaultZipFolder();
    settings.moment = QDateTime::currentDateTime();
    startRun(DisposalKind::Zip, settings);
}

void TfrmReallyDelete::btCloseClick() {
    if (!m_running) {
        done(2);
        return;
    }
    if (!m_btClose->isEnabled())
        return;
    // No step runs while the question is open, and a batch written meanwhile is settled after
    // the answer.
    const bool stepping = m_stepTimer.isActive();
    m_stepTimer.stop();
    m_flush.pause();
    if (msgbox::askYesNo(QStringLiteral("Really abort?  Folders may be partially deleted!"))) {
        m_abortRequested = true;
        setResult(0);
        // A batch being written is given up: nothing of it is stored and its files stay.
        if (m_flush.running())
            m_flush.abort();
    }
    m_flush.resume();
    if (stepping)
        m_stepTimer.start();
}

void TfrmReallyDelete::reject() {
    btCloseClick();
}
