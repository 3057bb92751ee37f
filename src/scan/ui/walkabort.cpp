#include "scan/ui/walkabort.h"

#include "app/ui/messagebox.h"

#include <QWidget>

namespace walkabort {

QString abortedText() {
    return QStringLiteral("LIST INCOMPLETE ... ABORTED BY USER");
}

void btAbortClick(bool& abortFlag, QWidget* abortButton, Notice notice) {
    // The walk is suspended under this handler (it pumps events between entries) and tests the
    // flag as soon as the box below is closed.
    abortFlag = true;
    if (abortButton)
        abortButton->hide();
    if (notice == Notice::Plain)
        msgbox::plainBox(abortedText());
    else
        msgbox::warningBox(abortedText());
}

} // namespace walkabort
