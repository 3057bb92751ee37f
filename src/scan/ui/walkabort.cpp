#include "scan/ui/walkabort.h"

#include "app/ui/messagebox.h"

#include <QWidget>

namespace walkabort {

QString abortedText() {
    return QStringLiteral("LIST INCOMPLETE ... ABORTED BY USER");
}

void btAbortClick(const std::function<void()>& abort, QWidget* abortButton, Notice notice) {
    if (abort)
        abort();
    if (abortButton)
        abortButton->hide();
    if (notice == Notice::Plain)
        msgbox::plainBox(abortedText());
    else
        msgbox::warningBox(abortedText());
}

} // namespace walkabort
