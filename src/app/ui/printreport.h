#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QFont;
class QPixmap;
class QPrinter;
class QWidget;
class TextGrid;

// Printing of the plain-text reports of app/report.h.  The lines go onto the page one under
// the other in a fixed-pitch font, 8 points, from the top left of the printable area, and a new
// page starts when one is full; nothing else is put on the page.
//
// Each printer returns true when the report was printed.  When the printer cannot be opened or
// a page cannot be started, the error box "Error printing report ... quitting" is shown and
// printing stops (false).  While the rows are printed the wait cursor is shown.
//
// Three ways in: on a printer the caller has set up (a PDF file works without any printer), on
// the default printer, or after the print dialog (false when the user cancels it, without a
// message).

// A grid: "Courier New" (a fixed-pitch font where it is missing).  `widths` are the columns'
// widths in pixels as the window shows them.
bool PrintGrid(QPrinter& printer, const TextGrid& grid, const QList<int>& widths,
               const QString& title);
bool PrintGrid(QPrinter& printer, const QList<QStringList>& rows, const QList<int>& widths,
               const QString& title);
bool PrintGrid(const TextGrid& grid, const QList<int>& widths, const QString& title);
bool PrintGridWithDialog(const TextGrid& grid, const QList<int>& widths, const QString& title,
                         QWidget* parent);

// A list: "Courier" (again a fixed-pitch font where it is missing).
bool PrintList(QPrinter& printer, const QStringList& strings, const QString& title);
bool PrintList(const QStringList& strings, const QString& title);

// The fonts of the two reports.
QFont gridReportFont();
QFont listReportFont();

// A window's picture, as large as fits on the page with its proportions kept.  A printer that
// cannot be opened shows the error box "Error printing report ... quitting" (false).
bool PrintImage(QPrinter& printer, const QPixmap& image);

// Prints the lines in the font; `headerLines` is how many of them come before the rows (the
// wait cursor covers the rows only).
bool PrintReportLines(QPrinter& printer, const QStringList& lines, const QFont& font,
                      int headerLines);
