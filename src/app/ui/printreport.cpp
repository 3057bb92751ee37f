#include "app/ui/printreport.h"

#include "app/grid.h"
#include "app/report.h"
#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"

#include <QDateTime>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>

namespace {

const int kHeaderLines = 4; // title, "Printed" line, two empty lines

void printError() {
    msgbox::silentErrorBox(QStringLiteral("Error printing report ... quitting"));
}

// The family asked for at 8 points, else the system's fixed font, else the first installed
// family whose letters all have one width: a report's columns line up only in such a font, and
// what "monospace" resolves to differs from one machine's fonts to another's.
QFont fixedPitchFont(const QString& family) {
    QFont font(family, 8);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (QFontInfo(font).fixedPitch())
        return font;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(8);
    if (QFontInfo(fixed).fixedPitch())
        return fixed;
    for (const QString& name : QFontDatabase::families()) {
        if (QFontDatabase::isFixedPitch(name)) {
            fixed.setFamily(name);
            if (QFontInfo(fixed).fixedPitch())
                return fixed;
        }
    }
    return font;
}

template <typename Print> bool withDialog(QWidget* parent, Print print) {
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return print(printer);
}

} // namespace

QFont gridReportFont() {
    return fixedPitchFont(QStringLiteral("Courier New"));
}

QFont listReportFont() {
    return fixedPitchFont(QStringLiteral("Courier"));
}

bool PrintReportLines(QPrinter& printer, const QStringList& lines, const QFont& font,
                      int headerLines) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        printError();
        return false;
    }
    const QFont printerFont(font, &printer);
    painter.setFont(printerFont);
    const QFontMetrics metrics(printerFont, &printer);
    const int pageHeight = printer.pageLayout().paintRectPixels(printer.resolution()).height();

    int y = metrics.ascent();
    bool pageEmpty = true;
    // Writes one line; false when a new page was needed and could not be started.
    auto writeLine = [&](const QString& line) {
        if (!pageEmpty && y + metrics.descent() > pageHeight) {
            if (!printer.newPage())
                return false;
            y = metrics.ascent();
        }
        painter.drawText(0, y, line);
        y += metrics.lineSpacing();
        pageEmpty = false;
        return true;
    };

    const int header = qBound(0, headerLines, int(lines.size()));
    for (int i = 0; i < header; ++i) {
        if (!writeLine(lines.at(i))) {
            painter.end();
            printError();
            return false;
        }
    }
    bool ok = true;
    {
        WaitCursor wait;
        for (int i = header; i < lines.size() && ok; ++i)
            ok = writeLine(lines.at(i));
    }
    // Ending the painter ends the print job, also after a failure.
    if (!painter.end())
        ok = false;
    if (!ok)
        printError();
    return ok;
}

bool PrintGrid(QPrinter& printer, const TextGrid& grid, const QList<int>& widths,
               const QString& title) {
    return PrintReportLines(printer,
                            gridReportLines(grid, widths, title, QDateTime::currentDateTime()),
                            gridReportFont(), kHeaderLines);
}

bool PrintGrid(QPrinter& printer, const QList<QStringList>& rows, const QList<int>& widths,
               const QString& title) {
    return PrintReportLines(printer,
                            gridReportLines(rows, widths, title, QDateTime::currentDateTime()),
                            gridReportFont(), kHeaderLines);
}

bool PrintGrid(const TextGrid& grid, const QList<int>& widths, const QString& title) {
    QPrinter printer;
    return PrintGrid(printer, grid, widths, title);
}

bool PrintGridWithDialog(const TextGrid& grid, const QList<int>& widths, const QString& title,
                         QWidget* parent) {
    return withDialog(parent,
                      [&](QPrinter& printer) { return PrintGrid(printer, grid, widths, title); });
}

bool PrintList(QPrinter& printer, const QStringList& strings, const QString& title) {
    return PrintReportLines(printer, listReportLines(strings, title, QDateTime::currentDateTime()),
                            listReportFont(), kHeaderLines);
}

bool PrintList(const QStringList& strings, const QString& title) {
    QPrinter printer;
    return PrintList(printer, strings, title);
}

bool PrintImage(QPrinter& printer, const QPixmap& image) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        msgbox::errorBox(QStringLiteral("Error printing report ... quitting"));
        return false;
    }
    const QRect page = painter.viewport();
    const QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(image.rect());
    painter.drawPixmap(0, 0, image);
    return painter.end();
}
