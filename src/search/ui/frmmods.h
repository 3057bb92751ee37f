#pragma once

#include "app/gridmarks.h"
#include "app/ui/resultgrid.h"
#include "scan/ui/searchwindow.h"
#include "search/filedates.h"

#include <array>

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

// "Files in a range of dates": finds the files of the ticked drives whose last access,
// creation or last write lies on or before a date, between two dates or on or after a date,
// lists them, and hands the marked ones to the deletion window, which closes this window unless
// it was cancelled.  The main window gives the grid's sort directions, which live for the whole
// run.  The search, the date test and the sorting live in search/filedates.h.
class TfrmMods : public SearchWindow {
    Q_OBJECT
public:
    // find: the program's find dialog for the viewer; without it View and Details stay disabled.
    // browseSort: the browser's sort directions; without them Browse stays disabled.
    TfrmMods(QWidget* parent, dates::SortDirections& sortDirections, TfrmFind* find = nullptr,
             browse::SortFlags* browseSort = nullptr);

    int rowCount() const { return m_results->rows(); }
    const GridMarks& marks() const { return m_results->marks(); }
    QString printTitle() const;
    QMenu* popupMenu() const { return m_menu.popup; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void FormShow() override;
    void enableInputs(bool on) override;
    int takeResult(scan::Search& search, bool aborted) override;
    void showFound(int rows) override;

private slots:
    void btOKClick();
    void btDeleteClick();
    void rgWhenClick();
    void sortGrid(int column);
    void popStartDateClick();
    void popEndDateClick();

private:
    QWidget* buildTopPanel();
    QWidget* buildDateEdits();
    void buildPopupMenu();
    void clearGrid();
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

    std::array<QRadioButton*, 3> m_rgWhat{};
    std::array<QRadioButton*, 3> m_rgWhen{};
    QLineEdit* m_dtStart = nullptr;
    QLineEdit* m_dtEnd = nullptr;
    QToolButton* m_popStartDate = nullptr;
    QToolButton* m_popEndDate = nullptr;
    QLabel* m_lblAnd = nullptr;
    WildCardBox* m_wild = nullptr;
    MarkedResultGrid* m_results = nullptr;
    QLabel* m_status = nullptr;

    QPushButton* m_btOK = nullptr;

    ResultMenu m_menu;
    std::array<QAction*, dates::kColumnCount> m_sortItems{};
};
