#pragma once

#include <QString>
#include <QStringList>

class QAction;
class QDialog;
class QHBoxLayout;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QWidget;

// Small pieces the windows share.

// A push button carrying its name as objectName, with an optional hint.
QPushButton* namedButton(QWidget* parent, const QString& name, const QString& caption,
                         const QString& hint = QString());

// A radio button carrying its name as objectName.
QRadioButton* namedRadio(QWidget* parent, const QString& name, const QString& caption);

// A menu item added to the menu, carrying its name as objectName.
QAction* namedMenuItem(QMenu* menu, const QString& name, const QString& caption);

// A label carrying its name as objectName; wordWrap for notes of several lines.
QLabel* namedLabel(QWidget* parent, const QString& name, const QString& text,
                   bool wordWrap = false);

// A panel of a status line: plain text in a sunken frame, named; a long text never widens the
// window.
QLabel* statusPanel(QWidget* parent, const QString& name);

// How much the column widths of a grid, designed at 96 pixels per inch for digits 6 pixels wide,
// grow: with the screen's pixels per inch, or with the view's font where its digits are wider,
// so that sizes and dates are not cut off.
double columnWidthScale(const QWidget* view);

// The top panel of a tool window: a named widget of fixed height whose controls stand in one
// row, *row, 8 pixels from the top and left, 6 from the bottom.
QWidget* toolTopPanel(QWidget* window, const QString& name, int rightMargin, int spacing,
                      QHBoxLayout** row);

// A length designed at 96 pixels per inch, on the widget's screen.
int scaledPixels(const QWidget* widget, int pixels);

// The heading of a dialog: a label in bold, two points larger than the window's text.
QLabel* headingLabel(QWidget* parent, const QString& name, const QString& text);

// A bar over a run of files: it counts the files reached out of all of them.  (A bar whose
// range is 0..0 would show a busy animation instead, as it would for one file counted 0..n-1.)
// Counts beyond what a bar holds stop at its end.
void setFileBarRange(QProgressBar* bar, qsizetype files);
// The file at `index` (from 0) is being handled.
void setFileBarPosition(QProgressBar* bar, qsizetype index);

// The red percentage gauge (0..100) that shows the progress of one file or archive; named
// Gauge1 as every window calls it.
QProgressBar* redGauge(QWidget* parent);

// The OK and Cancel buttons of a dialog, named btOK and btCancel, in a row that keeps them to
// the right.  OK is the default button and accepts the dialog; Cancel rejects it.
QHBoxLayout* okCancelRow(QDialog* dialog, QPushButton** ok, QPushButton** cancel);

// The texts of a list's items, in the order shown.
QStringList itemTexts(const QListWidget* list);
// The rows and the texts of the selected items, in list order.
QList<int> selectedRows(const QListWidget* list);
QStringList selectedTexts(const QListWidget* list);

// The wait cursor for as long as it lives.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
