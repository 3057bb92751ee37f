#include "app/ui/folderbrowser.h"

#include <QFileDialog>

namespace folderbrowser {

namespace {

Browser& current() {
    static Browser browser;
    return browser;
}

} // namespace

QString browse(QWidget* parent, const QString& title, const QString& start) {
    if (current())
        return current()(parent, title, start);
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

void setBrowser(Browser browser) {
    current() = std::move(browser);
}

} // namespace folderbrowser
