#pragma once

#include <QChar>
#include <QDialog>
#include <QString>

class DriveFolderTree;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeView;

// "Destination folder": where an archive is to be restored.  The caller puts the archive's
// full path into lblZip, shows the dialog and, when exec() returns Accepted, reads the chosen
// folder from DirLabel (folder()).
//
// Showing the dialog proposes the root folder of the drive the archive's name carries after
// "Drive-" (else the root of the current drive), makes it the current folder and moves the
// folder tree there; closing makes the folder that was current before current again.  OK takes
// the proposed root without a question; any other folder, and any folder at all when the name
// carries no drive, asks first.
class TfrmZipDirectory : public QDialog {
    Q_OBJECT
public:
    explicit TfrmZipDirectory(QWidget* parent = nullptr);

    void setArchivePath(const QString& path);
    // Moves the folder tree (and the drive list) to the folder.
    void setFolder(const QString& path);
    // The chosen folder, as DirLabel shows it.
    QString folder() const { return m_folder; }

    // The drive letter of the proposed root; a null QChar when the archive names no drive.
    QChar proposedLetter() const { return m_proposedLetter; }
    QString proposedRoot() const { return m_proposedRoot; }

    QLabel* lblZip() const { return m_lblZip; }
    QLabel* DirLabel() const { return m_dirLabel; }
    QComboBox* DriveList() const;
    QTreeView* DLB() const;
    QPushButton* Button1() const { return m_button1; }
    QPushButton* Button2() const { return m_button2; }
    QPushButton* Button3() const { return m_button3; }

public slots:
    void Button1Click();
    void Button3Click();
    void done(int result) override; // FormClose

protected:
    void showEvent(QShowEvent* event) override; // FormShow

private:
    void FormShow();
    void treeMoved(const QString& folder);

    QString m_folder;
    QString m_savedCurrent; // the current folder when the dialog was shown
    QString m_proposedRoot;
    QChar m_proposedLetter;

    QLabel* m_lblZip;
    QLabel* m_dirLabel;
    DriveFolderTree* m_tree;
    QPushButton* m_button1;
    QPushButton* m_button2;
    QPushButton* m_button3;
};
