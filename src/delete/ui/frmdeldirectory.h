#pragma once

#include "delete/folderclean.h"

#include <QDialog>
#include <QTimer>
#include <memory>

class ProtectedFolders;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

// "Clean directory, sub-directories and all files": disposes of one folder with everything
// below it, by deleting it, sending its files to the trash, or zipping it and (when cbDelete is
// ticked) deleting it afterwards.  It warns in red when the folder is protected and asks again
// before a run; the run goes in steps between which the window shows the count and the file at
// hand and takes a click on Cancel.  It closes with 1 after a run and with 2 when cancelled
// (also when Cancel was clicked during a run).  Tools open it through disposeOfFolder()
// (handover.h).
class TfrmDelDirectory : public QDialog {
    Q_OBJECT
public:
    TfrmDelDirectory(QWidget* parent, const QString& folder, ProtectedFolders& protection);
    ~TfrmDelDirectory() override;

    QString folder() const;
    // True once the files were sent to the trash.
    bool recycled() const { return m_recycle; }
    bool running() const { return m_running; }

    QLabel* lblTop() const { return m_lblTop; }
    QLabel* lblDirectory() const { return m_lblDirectory; }
    QLabel* pnlCount() const { return m_pnlCount; }
    QLabel* pnlName() const { return m_pnlName; }
    QProgressBar* Gauge1() const { return m_gauge1; }
    QCheckBox* cbDelete() const { return m_cbDelete; }
    QPushButton* btDelete() const { return m_btDelete; }
    QPushButton* btRecycle() const { return m_btRecycle; }
    QPushButton* btZip() const { return m_btZip; }
    QPushButton* BitBtn3() const { return m_bitBtn3; }

public slots:
    void btDeleteClick();
    void btRecycleClick();
    void btZipClick();
    void BitBtn3Click();
    // Escape and the close box act as Cancel.
    void reject() override;

signals:
    // A run has ended (just before the window closes).
    void runEnded();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    QWidget* buildChoices();
    // False (after an error box) when the folder may not be deleted at all.
    bool refused(bool deletes);
    void StartTheDeletionProcess(FolderMode mode, const ZipRunSettings& zip = ZipRunSettings());
    FolderCleanHooks runHooks();
    void stepRun();
    void endRun();
    void showError(const QString& message);

    ProtectedFolders& m_protection;
    std::unique_ptr<FolderClean> m_run;
    QTimer m_stepTimer;
    bool m_recycle = false;
    bool m_zip = false;
    bool m_running = false;
    bool m_cancelClicked = false;
    int m_errorsShown = 0;
    qint64 m_errorsHeld = 0; // failures beyond the boxes shown
    qint64 m_shownCount = 0;
    QString m_shownName;

    QLabel* m_lblTop;
    QLabel* m_lblDirectory;
    QPushButton* m_btDelete;
    QPushButton* m_btRecycle;
    QPushButton* m_btZip;
    QCheckBox* m_cbDelete;
    QPushButton* m_bitBtn3;
    QLabel* m_pnlCount;
    QLabel* m_pnlName;
    QProgressBar* m_gauge1;
};
