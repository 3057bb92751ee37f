#pragma once

#include "app/gridmarks.h"
#include "app/gridmodel.h"

#include <QPixmap>
#include <functional>

class QAction;
class QMenu;
class QTableView;
class QWidget;

// The result grid of a tool as its view shows it: the grid's texts, with a tick beside the text
// of the mark cell of every marked row.
class MarkedGridModel : public GridModel {
    Q_OBJECT
public:
    MarkedGridModel(TextGrid* grid, QObject* parent = nullptr);

    void setMarkColumn(int column) { m_markColumn = column; }

    // The marks of many rows changed; the rows stay where they are.
    void marksChanged();

    QVariant data(const QModelIndex& index, int role) const override;

private:
    QPixmap m_tick;
    int m_markColumn = 0;
};

// A view over the model as every result grid has it: whole rows selected one at a time, no
// editing, one fixed-height line per row (so that hundreds of thousands of rows cost nothing to
// lay out), clickable column headers, the last column stretching, and a context menu asked for
// through customContextMenuRequested.  Named "grid".
QTableView* makeResultGridView(QWidget* parent, MarkedGridModel* model);

// The options menu of a result grid (also its right-click menu), in the order every tool has
// it: Details, Sort (empty, for the window to fill), Mark (Mark all, Unmark all), Resize (Shrink
// top panel, Restore top panel, the latter disabled), Run, View, Print, Clipboard.  The window
// connects the items.
struct ResultMenu {
    QMenu* popup = nullptr;
    QAction* details = nullptr;
    QMenu* sort = nullptr;
    QAction* markAll = nullptr;
    QAction* unmarkAll = nullptr;
    QAction* shrink = nullptr;
    QAction* restore = nullptr;
    QAction* run = nullptr;
    QAction* view = nullptr;
    QAction* print = nullptr;
    QAction* clipboard = nullptr;
};
ResultMenu makeResultMenu(QWidget* parent);

// "Shrink top panel" (shrink true) or "Restore top panel": the panel gets no height or its
// saved one back, and the two items swap their enabled states.
void resizeTopPanel(QWidget* panel, int savedHeight, bool shrink, const ResultMenu& menu);

class QLabel;
class QPushButton;

// What a result grid can open on a row's file: the viewer, the details window and the browser,
// each given the window that owns the grid.  The windows that open them live above the kit; the
// program's shell (or a test) supplies them.  An empty function leaves its menu item or button
// disabled.
struct FileActions {
    using Open = std::function<void(QWidget* owner, const QString& path)>;
    Open view;
    Open details;
    Open browse;
};

// The result grid of a tool window with its marks: the view and its model, the marks of the
// rows (the hand-over list) shown in the status line, and the commands every tool has on it:
// marking by double click, by the Delete key or the Mark button (which then moves down a row),
// Mark all and Unmark all, Run, Print and Clipboard.  The window keeps its grid and tells how
// many of its rows are results and whether a walk runs (nothing reacts then).  "Clean?" is
// enabled exactly when something is marked.
class MarkedResultGrid : public QObject {
    Q_OBJECT
public:
    // pathOf gives the file of a grid row (rows 1..); markColumn carries the tick.
    using PathOf = std::function<QString(int gridRow)>;
    MarkedResultGrid(QWidget* window, TextGrid& grid, int markColumn, PathOf pathOf);

    QTableView* view() const { return m_view; }
    MarkedGridModel* model() const { return m_model; }
    const GridMarks& marks() const { return m_marks; }
    // The status line and the "Clean?" button the marks are shown in.
    void setStatusLine(QLabel* status) { m_status = status; }
    // Text put before the marks' count and size in the status line.
    void setStatusPrefix(const QString& prefix) { m_statusPrefix = prefix; }
    // Text put after them (such as the folders a search could not read).
    void setStatusSuffix(const QString& suffix) { m_statusSuffix = suffix; }
    void setCleanButton(QPushButton* clean) { m_clean = clean; }

    // The result rows of the grid (rows 1..rows), and whether a walk runs.
    void setRows(int rows) { m_rows = rows; }
    int rows() const { return m_rows; }
    // While busy the grid shows the wait cursor and takes no marks.
    void setBusy(bool busy);
    bool busy() const { return m_busy; }

    // The grid changed as a whole (new rows, sorted); the selection stays on its line.
    void refresh(bool keepSelection = false);
    // Forgets every mark (the grid is about to be refilled).
    void clearMarks();

    void toggleRow(int gridRow);
    void markSelected(); // the Mark button
    void markAll();
    void unmarkAll();

    // The grid row of the selected row; 0 when no result row is selected.
    int selectedGridRow() const;
    // The file of the selected row; empty when there is none or it is gone.
    QString selectedFile() const;
    void selectFirstRow();
    // Makes a result row the selected one (the column stays).
    void selectRow(int gridRow);

    void runSelected();               // "Couldn't run " + path when the desktop refuses
    void print(const QString& title); // the grid report, after the print dialog
    void copyPaths();                 // the paths of all rows to the clipboard
    QString clipboardText() const;

    // Connects the menu's Mark all, Unmark all, Run, Print (with the title the window makes at
    // the time) and Clipboard, and its Shrink and Restore to the window's top panel, whose
    // height when the window was shown *savedHeight holds.
    void connectMenu(const ResultMenu& menu, std::function<QString()> printTitle, QWidget* topPanel,
                     const int* savedHeight);

    // View and Details (the menu items and the Details button) and the Browse button open the
    // actions' windows on the selected row's file; an action that is missing leaves its items
    // disabled (browse may be null for a window without that button).  Nothing happens while
    // busy or when the file is gone.
    void connectFileActions(const ResultMenu& menu, QPushButton* details, QPushButton* browse,
                            const FileActions& actions);

signals:
    // A right click on the grid asked for the options menu at that global position.
    void menuRequested(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMarks();

    TextGrid& m_grid;
    PathOf m_pathOf;
    GridMarks m_marks;
    MarkedGridModel* m_model;
    QTableView* m_view;
    QLabel* m_status = nullptr;
    QString m_statusPrefix;
    QString m_statusSuffix;
    QPushButton* m_clean = nullptr;
    int m_rows = 0;
    bool m_busy = false;
};
