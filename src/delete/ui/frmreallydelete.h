#pragma once

#include "delete/lastcopy.h"
#include "delete/reallydelete.h"
#include "zip/backgroundflush.h"

#include <QDialog>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <memory>

class QLabel;
class QListView;
class QProgressBar;
class QPushButton;
class QStringListModel;
class QTabWidget;
class QWidget;

// "Clean up the following files": the one window through which every tool disposes of the files
// the user marked.  When shown it moves the files that lie in protected folders from the
// deletion panel (lb1) to the non-delete panel (lb2); the user may move files between the two
// panels, ask why a file is held back, and then delete the deletion panel, send it to the trash,
// or zip it and then delete it.  When the files come from groups of duplicates, the last copy
// of every content moves to a third panel (lbLastCopy) from which only the user's explicit
// choice takes it back to the deletion panel (see lastcopy::Guard).  The window closes with result
// 1 after a disposal and with result 2 when cancelled.  Tools open it through reallyDelete()
// (handover.h).
class TfrmReallyDelete : public QDialog {
    Q_OBJECT
public:
    explicit TfrmReallyDelete(QWidget* parent = nullptr);
    ~TfrmReallyDelete() override;

    // Set by the caller before the window is shown: the marked files with the identities they
    // were listed with (they start on the deletion panel), the tag of archive names and the
    // total size of all marked files.
    void setFiles(const ListedFiles& files);
    void setArchiveTag(const QString& tag) { m_archiveTag = tag; }
    void setSavings(qint64 savings) { m_savings = savings; }
    // The groups of duplicates the files come from, if they do.
    void setCopyGroups(const lastcopy::CopyGroups& copies);

    const QString& archiveTag() const { return m_archiveTag; }
    qint64 savings() const { return m_savings; }

    // The entries of the deletion panel and of the non-delete panel, in panel order.
    const QStringList& deletionPanel() const { return m_lb1; }
    const QStringList& keepPanel() const { return m_lb2; }
    // The last copies of their contents, kept off the deletion panel.
    const QStringList& lastCopyPanel() const { return m_lbLastCopy; }

    // True while a disposal runs.
    bool running() const { return m_running; }
    bool abortRequested() const { return m_abortRequested; }
    // True while a batch of a zip run is being written to its archive.
    bool flushing() const { return m_flush.running(); }

public slots:
    // Escape and the close box act as the Cancel button.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void btToAgainstClick();
    void btMoveLeftClick();
    void btReasonClick();
    void DeleteAllClick();
    void RecycleClick();
    void ZipItClick();
    void btCloseClick();
    void allProtectedNotice();
    void btDisposeAnywayClick();
    void btLastCopyReasonClick();

private:
    void FormShow();
    void MoveFiles();
    void UpdateHeaders();
    void updateLeftRight();
    void updateMoveButtons();
    bool NoFilesToDelete();

    // The panel of last copies (frmreallydelete_lastcopy.cpp).
    QWidget* buildLastCopyPage();
    // Reads the contents of the groups the search did not prove, with the waiting window up.
    void proveCopies();
    // Sorts the deletion panel and the last copies again after the panels changed.
    void guardLastCopies();

    // Replaces the button panel by the progress panel, and back.
    void showProgressPanel(bool show);
    // Prepares the progress panel for a run over the deletion panel.
    void beginRun(bool cancelEnabled, bool withGauge);
    void endRun();
    // The callbacks through which a run shows its progress; userInput lets clicks through (so
    // the Cancel button works during a zip run).
    DisposalHooks runHooks();
    // Empties the deletion panel and closes with result 1.
    void finishRun();
    // Asks before the program's own archives on the deletion panel are disposed of; No (the
    // preselected answer) moves them to the non-delete panel.  False when nothing is left to
    // dispose of.
    bool ownArchivesAgreed();
    // Delete and recycle: asks the question, then runs over the deletion panel and closes.
    void runConfirmed(const QString& question, DisposalKind kind);
    // Starts a run over the deletion panel; it goes on in steps from the event loop.
    void startRun(DisposalKind kind, const ZipRunSettings& zip = ZipRunSettings());
    void stepRun();
    // Goes on after a step or a written batch: the next step, the batch due (written on the
    // flush's thread while the window goes on answering), or the end of the run.
    void continueRun(DisposalRun::Stage stage);
    // The written batch is settled here, on the window's thread: its files are deleted now.
    void batchWritten(const zip::ZipWriter::Results& results);
    void runOver();

    // Moves the selected entries of one panel to another; returns them.
    QStringList moveSelected(QListView* from, QStringList& source, QStringList& target);
    void refreshModels();
    // The entry of a panel at its view's current row; empty when there is none.
    static QString currentEntry(const QListView* view, const QStringList& panel);
    // The files of a panel with the identities they were handed over with.
    ListedFiles listed(const QStringList& panel) const;

    QString m_archiveTag;
    qint64 m_savings = 0;
    bool m_abortRequested = false;
    bool m_running = false;
    bool m_shown = false;
    std::unique_ptr<DisposalRun> m_run; // the run under way
    DisposalKind m_runKind = DisposalKind::Delete;
    QString m_zipFolder;
    qsizetype m_runIndex = 0; // the file the run is at
    QString m_runPath;
    QTimer m_stepTimer;
    // Writes the run's batches; declared after m_run so that it goes first, stopping a write.
    zip::BackgroundFlush m_flush;

    QStringList m_lb1;        // deletion panel
    QStringList m_lb2;        // non-delete panel
    QStringList m_lbLastCopy; // last copies of their contents
    lastcopy::Guard m_copies;
    QSet<QString> m_chosen; // last copies the user moved to the deletion panel
    QHash<QString, platform::FileIdentity> m_seen; // identity of each handed-over path
    QStringListModel* m_model1;
    QStringListModel* m_model2;
    QStringListModel* m_modelLast;

    QLabel* m_lblDelete;
    QLabel* m_lblSavings;
    QTabWidget* m_pages;
    QLabel* m_lblLeft;
    QLabel* m_lblRight;
    QListView* m_lb1View;
    QListView* m_lb2View;
    QPushButton* m_btToAgainst;
    QPushButton* m_btMoveLeft;
    QPushButton* m_btReason;
    QWidget* m_pageLast;
    QLabel* m_lblLastCopy;
    QListView* m_lbLastCopyView;
    QPushButton* m_btDisposeAnyway;
    QPushButton* m_btLastCopyReason;
    QWidget* m_pnlButtons;
    QPushButton* m_btZip;
    QPushButton* m_btDelete;
    QPushButton* m_btRecycle;
    QWidget* m_pnlProgress;
    QLabel* m_lblName;
    QProgressBar* m_bar;
    QProgressBar* m_gauge1;
    QPushButton* m_btClose;

    // Half a second after showing a window whose deletion panel came out empty.
    QTimer m_noticeTimer;
};
