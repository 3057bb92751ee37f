#include "browse/ui/viewerprint.h"

#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"
#include "browse/ui/fileviewer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

bool printViewerLines(QPrinter& printer, const QFont& font, const TFileViewer& viewer,
                      bool selectionOnly) {
    const auto fail = []() {
        msgbox::silentErrorBox(QStringLiteral("Error printing file ... quitting"));
        return false;
    };
    QPainter painter;
    if (!painter.begin(&printer))
        return fail();
    WaitCursor wait;
    const QFont printerFont(font, &printer);
    painter.setFont(printerFont);
    const QFontMetrics metrics(printerFont, &printer);
    const QRect page = painter.viewport();
    int y = 0;
    bool ok = true;
    viewer.printLines(selectionOnly, [&](const QString& line) {
        if (y + metrics.height() > page.height() && y > 0) {
            if (!printer.newPage()) {
                ok = false;
                return false;
            }
            y = 0;
        }
        painter.drawText(0, y + metrics.ascent(), line);
        y += metrics.height();
        return true;
    });
    painter.end();
    return ok ? true : fail();
}
