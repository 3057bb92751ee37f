#pragma once

#include "app/ui/resultgrid.h"
#include "dup/dupsearch.h"
#include "scan/ui/searchwindow.h"

#include <QStringList>

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

// "Find and delete temporary files": quick clean.  The user selects temporary-file patterns
// and drives, starts the walk, marks rows of the result grid and hands the marked files to the
// deletion window, which closes this window unless it was cancelled.  Esc and the close box
// during a walk stop it and close the window.  The main window gives the grid's sort
// directions, which live for the whole run.
//
// The walk and the found files live in clean/quickclean.h; marking, sorting and the clipboard
// text are those of the large-file grid (dup/dupsearch.h).
class TfrmClean : public SearchWindow {
    Q_OBJECT
public:
    // find: the program's find dialog for the viewer; without it View and Details stay disabled.
    // browseSort: the browser's sort directions; without them Browse stays disabled.
    TfrmClean(QWidget* parent, dups::SortDirections& sortDirections, TfrmFind* find = nullptr,
              browse::SortFlags* browseSort = nullptr);
    ~TfrmClean() override;

    // The number of result rows of the last scan.
    int rowCount() const { return m_results->rows(); }

    // The marked files: the hand-over list with its count and total size.
    QStringList lbDeleted() const { return m_results->marks().paths(); }
    int markedCount() const { return m_results->marks().count(); }
    qint64 markedBytes() const { return m_results->marks().bytes(); }

    QString printTitle() const;
    QMenu* popupMenu() const { return m_menu.popup; }

protected:
    void FormShow() override;
    void enableInputs(bool on) override;
    int takeResult(scan::Search& search, bool aborted) override;
    void showFound(int rows) override;

private slots:
    void btScanClick();
    void btEditClick();
    void btDeleteClick();
    void SelectAll2Click();
    void DeselectAll2Click();

private:
    QWidget* buildTopPanel();
    void buildButtons(QLayout* layout);
    void buildPopupMenu();
    void ReadInFromDisk();
    void clearGrid();

    dups::SortDirections& m_sortDirections;
    TfrmFind* m_find;
    browse::SortFlags* m_browseSort;

    QListWidget* m_pickList1 = nullptr;
    MarkedResultGrid* m_results = nullptr;
    ResultMenu m_menu;
    HogSort* m_hogSort = nullptr;
    QLabel* m_pnlSel = nullptr;

    QPushButton* m_btScan = nullptr;
};
