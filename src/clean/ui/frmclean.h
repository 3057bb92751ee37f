#pragma once

#include "app/grid.h"
#include "app/ui/resultgrid.h"
#include "dup/dupsearch.h"

#include <QDialog>
#include <QStringList>
#include <array>
#include <memory>

class DriveCheckList;
class HogSort;
class TfrmFind;
namespace browse {
struct SortFlags;
}
class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QModelIndex;
class QPushButton;
class QTableView;
namespace quickclean {
class Search;
}
namespace scan {
class SteppedWalk;
}

// "Find and delete temporary files": quick clean.  The user selects temporary-file patterns
// and drives, starts the walk, marks rows of the result grid and hands the marked files to the
// deletion window, which closes this window unless it was cancelled.  The main window gives
// the grid's sort directions, which live for the whole run.
//
// The walk and the found files live in clean/quickclean.h; marking, sorting and the clipboard
// text are those of the large-file grid (dup/dupsearch.h).
class TfrmClean : public QDialog {
    Q_OBJECT
public:
    // find: the program's find dialog for the viewer; without it View and Details stay disabled.
    // browseSort: the browser's sort directions; without them Browse stays disabled.
    TfrmClean(QWidget* parent, dups::SortDirections& sortDirections, TfrmFind* find = nullptr,
              browse::SortFlags* browseSort = nullptr);
    ~TfrmClean() override;

    // The result grid (row 0 is the header) and the number of result rows of the last scan.
    const TextGrid& resultGrid() const { return m_grid; }
    int rowCount() const { return m_results->rows(); }

    // The marked files: the hand-over list with its count and total size.
    QStringList lbDeleted() const { return m_results->marks().paths(); }
    int markedCount() const { return m_results->marks().count(); }
    qint64 markedBytes() const { return m_results->marks().bytes(); }

    bool scanning() const { return m_scanning; }
    QString printTitle() const;
    QMenu* popupMenu() const { return m_menu.popup; }

signals:
    // A scan has ended and its result is shown (after the "No files found." box, if any).
    void scanDone();

public slots:
    // Refused while a walk runs; otherwise the placement is stored before the window goes.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void btScanClick();
    void btAbortClick();
    void btEditClick();
    void btDeleteClick();
    void SelectAll2Click();
    void DeselectAll2Click();

private:
    QWidget* buildTopPanel();
    void buildButtons(QLayout* layout);
    void buildPopupMenu();
    void FormShow();
    void ReadInFromDisk();
    void clearGrid();
    void scan();
    void scanFinished();
    void setScanning(bool on);
    void setColumnWidths();

    dups::SortDirections& m_sortDirections;
    TfrmFind* m_find;
    browse::SortFlags* m_browseSort;
    TextGrid m_grid;
    bool m_scanning = false;
    int m_savedPanelHeight = 0;
    std::unique_ptr<quickclean::Search> m_search;
    std::unique_ptr<scan::SteppedWalk> m_walk;

    QWidget* m_pnlTop = nullptr;
    QListWidget* m_pickList1 = nullptr;
    DriveCheckList* m_pckDrive = nullptr;
    MarkedResultGrid* m_results = nullptr;
    QTableView* m_gridView = nullptr;
    ResultMenu m_menu;
    HogSort* m_hogSort = nullptr;
    QLabel* m_pnlSel = nullptr;

    QPushButton* m_btScan = nullptr;
    QPushButton* m_btClose = nullptr;
    QPushButton* m_btAbort = nullptr;
    QPushButton* m_btMark = nullptr;
    QPushButton* m_btDelete = nullptr;
    QPushButton* m_btOptions = nullptr;
    QPushButton* m_btBrowse = nullptr;
    QPushButton* m_btDetails = nullptr;
};
