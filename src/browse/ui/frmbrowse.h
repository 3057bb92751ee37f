#pragma once

#include "app/grid.h"
#include "app/ui/resultgrid.h"
#include "browse/folderlisting.h"

#include <QDialog>
#include <array>

class DriveFolderTree;
class QAction;
class QLabel;
class QPushButton;
class QTableView;
class TfrmFind;

// "Browse through folders": the drives and folders on the left, the files of the chosen folder
// that match the pattern in a grid on the right.  The user marks files and hands them to the
// deletion window, deletes the whole folder through the folder deletion window, or opens a
// file with the desktop's program, in the viewer or in the details window.  Marks live only
// while the same folder and pattern are shown.
//
// The window keeps its folder itself: moving through the folders never changes the process's
// current folder, and every file is reached by its full path.
class TfrmBrowse : public QDialog {
    Q_OBJECT
public:
    // sortFlags: the directions of the sort commands, kept by the main window for the whole
    // run.  find: the program's find dialog for the viewer; without it View and Details stay
    // disabled.  folder: the folder shown first.
    TfrmBrowse(QWidget* parent, browse::SortFlags& sortFlags, TfrmFind* find,
               const QString& folder);
    ~TfrmBrowse() override;

    // Before the window is shown: the file-name pattern ("*.*" unless set) and the name of the
    // file to select in the first listing.
    void setPattern(const QString& pattern) { m_pattern = pattern; }
    void setSelectedFile(const QString& name) { m_selectName = name; }

    QString folder() const { return m_folder; }
    const TextGrid& resultGrid() const { return m_grid; }
    const GridMarks& marks() const { return m_results->marks(); }
    // The marked files: the hand-over list with its count and total size.
    QStringList lbDeleted() const { return m_results->marks().paths(); }
    qint64 markedBytes() const { return m_results->marks().bytes(); }
    // The name in the selected row; empty when none is selected.
    QString selectedName() const;

public slots:
    // Moves to another folder (as the folder tree does) and reads it.
    void setFolder(const QString& folder);
    // Asks first when files are marked; any answer but Yes keeps the window open.
    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void DirectoryListBox1Change(const QString& folder);
    void btDeleteFilesClick();
    void btDeleteDirectoryClick();
    void pnlWildClick();

private:
    QWidget* buildFolderPanel();
    QWidget* buildFilePanel();
    QLayout* buildButtons();
    QWidget* buildStatusBar();
    void buildPopupMenu();
    void FormShow();
    // Reads the current folder again: marks and counts start afresh.
    void readFolder();
    // The same on a drive known to be ready.
    void listFolder();
    void Sortbyname1Click(browse::SortItem item);
    void tickSortItem(browse::SortItem item);
    void setColumnWidths();
    void selectName(const QString& name);

    browse::SortFlags& m_sortFlags;
    TfrmFind* m_find;
    QString m_folder;
    QString m_pattern = QStringLiteral("*.*");
    QString m_selectName;
    TextGrid m_grid;
    browse::SortItem m_ticked = browse::SortItem::Name;

    DriveFolderTree* m_folders = nullptr;
    QLabel* m_label1 = nullptr;
    MarkedResultGrid* m_results = nullptr;
    QTableView* m_gridView = nullptr;
    QLabel* m_pnlScan = nullptr;
    QLabel* m_pnlWild = nullptr;
    QLabel* m_pnlSize = nullptr;
    QPushButton* m_btDeleteDirectory = nullptr;
    QPushButton* m_btOptions = nullptr;
    QPushButton* m_btDetails = nullptr;
    QPushButton* m_btLaunch = nullptr;
    QPushButton* m_btView = nullptr;
    QPushButton* m_btMark = nullptr;
    QPushButton* m_btDeleteFiles = nullptr;
    QPushButton* m_btClose = nullptr;
    ResultMenu m_menu;
    std::array<QAction*, browse::kSortItemCount> m_sortItems{};
};

// Opens the browser modally over the owner on the folder of a file, with that file selected
// and the pattern "*.*", and frees it when it closes.
void browseFile(QWidget* owner, browse::SortFlags& sortFlags, TfrmFind* find, const QString& path);
// The same on a folder, with its first file selected.
void browseFolder(QWidget* owner, browse::SortFlags& sortFlags, TfrmFind* find,
                  const QString& folder);
