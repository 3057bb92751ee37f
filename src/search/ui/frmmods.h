#pragma once

#include "app/grid.h"
#include "app/ui/resultgrid.h"
#include "app/gridmarks.h"
#include "search/filedates.h"

#include <QDialog>
#include <array>
#include <memory>

class DriveCheckList;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QModelIndex;
class QPushButton;
class QRadioButton;
class QTableView;
class QToolButton;
class TfrmFind;
namespace browse {
struct SortFlags;
}
class WildCardBox;
namespace scan {
class SteppedWalk;
}

// "Files in a range of dates": finds the files of the ticked drives whose last access,
// creation or last write lies on or before a date, between two dates or on or after a date,
// lists them, and hands the marked ones to the deletion window, which closes this window unless
// it was cancelled.  The main window gives the grid's sort directions, which live for the whole
// run.  The search, the date test and the sorting live in search/filedates.h.
class TfrmMods : public QDialog {
    Q_OBJECT
public:
    // find: the program's find dialog for the viewer; without it View and Details stay disabled.
    // browseSort: the browser's sort directions; without them Browse stays disabled.
    TfrmMods(QWidget* parent, dates::SortDirections& sortDirections, TfrmFind* find = nullptr,
             browse::SortFlags* browseSort = nullptr);
    ~TfrmMods() override;

    const TextGrid& resultGrid() const { return m_grid; }
    int rowCount() const { return m_results->rows(); }
    const GridMarks& marks() const { return m_results->marks(); }
    bool scanning() const { return m_scanning; }
    QString printTitle() const;
    QMenu* popupMenu() const { return m_menu.popup; }

signals:
    // A scan has ended and its result is shown (after the "No files found." box, if any).
    void scanDone();

public slots:
    // Closing is always allowed; a walk under way is stopped first.  The placement is stored.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void btOKClick();
    void btAbortClick();
    void btDeleteClick();
    void rgWhenClick();
    void sortGrid(int column);
    void popStartDateClick();
    void popEndDateClick();

private:
    QWidget* buildTopPanel();
    QWidget* buildDateEdits();
    void buildPopupMenu();
    void FormShow();
    void clearGrid();
    void scanFinished();
    void setScanning(bool on);
    void setColumnWidths();
    // The date an edit holds; invalid when its text is no date.
    QDate editDate(const QLineEdit* edit) const;
    // Checks an edit that loses the focus; false (after the error box) when it holds no date.
    bool checkDateEdit(QLineEdit* edit);
    void pickDate(QLineEdit* edit, bool isStart);
    void tickSortItem(int column);
    dates::Kind kind() const;
    dates::When when() const;

    dates::SortDirections& m_sortDirections;
    TfrmFind* m_find;
    browse::SortFlags* m_browseSort;
    TextGrid m_grid;
    bool m_scanning = false;
    int m_savedPanelHeight = 0;
    std::unique_ptr<dates::Search> m_search;
    std::unique_ptr<scan::SteppedWalk> m_walk;

    QWidget* m_pnlTop = nullptr;
    std::array<QRadioButton*, 3> m_rgWhat{};
    std::array<QRadioButton*, 3> m_rgWhen{};
    QLineEdit* m_dtStart = nullptr;
    QLineEdit* m_dtEnd = nullptr;
    QToolButton* m_popStartDate = nullptr;
    QToolButton* m_popEndDate = nullptr;
    QLabel* m_lblAnd = nullptr;
    WildCardBox* m_wild = nullptr;
    DriveCheckList* m_pckDrive = nullptr;
    MarkedResultGrid* m_results = nullptr;
    QTableView* m_gridView = nullptr;
    QLabel* m_status = nullptr;

    QPushButton* m_btOK = nullptr;
    QPushButton* m_btAbort = nullptr;
    QPushButton* m_btMark = nullptr;
    QPushButton* m_btDelete = nullptr;
    QPushButton* m_btOptions = nullptr;
    QPushButton* m_btDetails = nullptr;
    QPushButton* m_btBrowse = nullptr;
    QPushButton* m_btClose = nullptr;

    ResultMenu m_menu;
    std::array<QAction*, dates::kColumnCount> m_sortItems{};
};
