#pragma once

#include "zip/zipreader.h"

#include <QDialog>
#include <QPalette>
#include <QString>
#include <optional>

class DriveFolderTree;
class OutlineModel;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeView;

// "Unzip Vastel Archive Zip Files": lists the program's archives ("Drive*.zip") of a folder,
// shows the folders, files and comment of the chosen one and extracts all of it, stored paths
// restored, into a folder chosen in the destination folder dialog.  Restoring into the root
// folder of the drive the archive's name carries puts every file back where it was.  A file
// that exists at the destination is never overwritten: its entry is reported and the rest goes
// on.
//
// The window opens on the zip folder it is given.  The folder tree does not change the
// process's current folder (which would keep a removable drive busy); the folder chosen in the
// tree is the window's own.
class TfrmUnZipIt : public QDialog {
    Q_OBJECT
public:
    explicit TfrmUnZipIt(const QString& zipFolder, QWidget* parent = nullptr);
    ~TfrmUnZipIt() override;

    // The folder whose archives are listed; setFolder() moves the folder tree there.
    QString folder() const { return m_folder; }
    void setFolder(const QString& path);
    // The archive shown in the outline.
    const zip::ZipReader& archive() const { return m_reader; }

    QComboBox* DriveComboBox1() const;
    QTreeView* DirectoryListBox1() const;
    QLabel* Label1() const { return m_label1; }
    QListWidget* FileListBox1() const { return m_fileList; }
    QTreeView* Outline() const { return m_outline; }
    QLabel* lblZip() const { return m_lblZip; }
    QLabel* lblCount() const { return m_lblCount; }
    QLabel* pnlComment() const { return m_pnlComment; }
    QProgressBar* Gauge1() const { return m_gauge; }
    QPushButton* btExtract() const { return m_btExtract; }
    QPushButton* btView() const { return m_btView; }
    QPushButton* btClose() const { return m_btClose; }
    QTimer* noticeTimer() const { return m_noticeTimer; }

    static constexpr int kNoticeDelayMs = 600;

public slots:
    void BtExtractEnable();
    void FileListBox1DblClick();
    void ExtractFiles1Click();

protected:
    void showEvent(QShowEvent* event) override; // FormShow

private:
    void buildControls();
    void layOutControls();
    void folderMoved(const QString& folder);
    void readArchiveList();
    QString selectedArchive() const;
    // Opens the selected archive in the outline as far as it opens; true when the outline then
    // shows it.
    bool openSelected();
    void showArchive();
    void setOutlineColour(QPalette::ColorRole role);

    // Engine callbacks.
    void OutlineLoad();
    void OutlineArchiveProgress(int percent);
    std::optional<QString> OutlineNeedPassword(const QString& entry);
    void OutlineProcessItemFailure(const zip::ExtractFailure& failure);

    zip::ZipReader m_reader;
    QString m_folder;
    QString m_lastDestination; // where the last extraction went
    bool m_shownOnce = false;

    DriveFolderTree* m_folders;
    QLabel* m_label1;
    QLabel* m_mask;
    QLabel* m_listHeading;
    QListWidget* m_fileList;
    OutlineModel* m_model;
    QTreeView* m_outline;
    QLabel* m_lblZip;
    QLabel* m_lblCount;
    QLabel* m_pnlComment;
    QProgressBar* m_gauge;
    QPushButton* m_btExtract;
    QPushButton* m_btView;
    QPushButton* m_btClose;
    QTimer* m_noticeTimer;
};
