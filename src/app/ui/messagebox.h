#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

// The message boxes of the program.  Every box and question goes through here, so that tests
// can see what was shown and give the answers (setHandler).
namespace msgbox {

enum class Kind { Error, SilentError, Warning, Information, Plain, Question };

struct Request {
    Kind kind;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
};

// Answers a box instead of showing it: returns the button "pressed".  An empty handler shows
// real boxes again.
using Handler = std::function<QMessageBox::StandardButton(const Request&)>;
void setHandler(Handler handler);

// Error box: exclamation beep, error icon, OK.
void errorBox(const QString& text);
// Error icon and OK without a sound.
void silentErrorBox(const QString& text);
// Warning box: critical-stop beep, warning icon, OK.
void warningBox(const QString& text);
// Information box: no sound, information icon, OK.
void infoBox(const QString& text);

// No icon, no sound, OK.
void plainBox(const QString& text);

// Question icon with Yes and No; true for Yes.
bool askYesNo(const QString& text, QMessageBox::StandardButton defaultButton = QMessageBox::Yes);

// A question with other buttons; returns the one chosen.
QMessageBox::StandardButton ask(const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton);

} // namespace msgbox
