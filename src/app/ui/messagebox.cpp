#include "app/ui/messagebox.h"

#include <QApplication>

namespace msgbox {

namespace {

Handler& handler() {
    static Handler h;
    return h;
}

QMessageBox::StandardButton show(const Request& request) {
    if (handler())
        return handler()(request);

    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    switch (request.kind) {
    case Kind::Error:
        icon = QMessageBox::Critical;
        title = QStringLiteral("Error");
        QApplication::beep();
        break;
    case Kind::SilentError:
        icon = QMessageBox::Critical;
        title = QStringLiteral("Error");
        break;
    case Kind::Warning:
        icon = QMessageBox::Warning;
        title = QStringLiteral("Warning");
        QApplication::beep();
        break;
    case Kind::Information:
        icon = QMessageBox::Information;
        title = QStringLiteral("Information");
        break;
    case Kind::Plain:
        title = QStringLiteral("Vastel");
        break;
    case Kind::Question:
        icon = QMessageBox::Question;
        title = QStringLiteral("Confirm");
        break;
    }
    // Texts break their lines with carriage returns as well as line feeds; a label only breaks
    // at line feeds.
    QString text = request.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(icon, title, text, request.buttons, QApplication::activeWindow());
    box.setDefaultButton(request.defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

void okBox(Kind kind, const QString& text) {
    show(Request{kind, text, QMessageBox::Ok, QMessageBox::Ok});
}

} // namespace

void setHandler(Handler h) {
    handler() = std::move(h);
}

void errorBox(const QString& text) {
    okBox(Kind::Error, text);
}

void silentErrorBox(const QString& text) {
    okBox(Kind::SilentError, text);
}

void plainBox(const QString& text) {
    okBox(Kind::Plain, text);
}

void warningBox(const QString& text) {
    okBox(Kind::Warning, text);
}

void infoBox(const QString& text) {
    okBox(Kind::Information, text);
}

bool askYesNo(const QString& text, QMessageBox::StandardButton defaultButton) {
    return ask(text, QMessageBox::Yes | QMessageBox::No, defaultButton) == QMessageBox::Yes;
}

QMessageBox::StandardButton ask(const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton) {
    return show(Request{Kind::Question, text, buttons, defaultButton});
}

} // namespace msgbox
