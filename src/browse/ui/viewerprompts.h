#pragma once

#include <QFont>
#include <QString>
#include <functional>

class QPrinter;
class QWidget;

// The standard dialogs the viewer and the details window ask through: an input box, the font
// dialog, the file-open dialog and the print dialogs.  Tests answer them instead (each setter
// with an empty function shows the real dialog again).
namespace viewerprompts {

struct TextAnswer {
    bool ok = false;
    QString text;
};

// An input box: title, prompt, the text it starts with.
TextAnswer inputBox(QWidget* parent, const QString& title, const QString& prompt,
                    const QString& value);
using InputBox =
    std::function<TextAnswer(const QString& title, const QString& prompt, const QString& value)>;
void setInputBox(InputBox box);

// The font dialog limited to fixed-pitch fonts; false when cancelled.
bool chooseFixedFont(QWidget* parent, QFont* font);
using FontChooser = std::function<bool(QFont* font)>;
void setFontChooser(FontChooser chooser);

// An existing file; empty when cancelled.
QString openFileName(QWidget* parent);
using FileChooser = std::function<QString()>;
void setFileChooser(FileChooser chooser);

// The print dialog, offering "selection" when allowed; false when cancelled.  *selection tells
// whether the user chose to print the selection only.
bool printDialog(QWidget* parent, QPrinter* printer, bool allowSelection, bool* selection);
using PrintChooser = std::function<bool(QPrinter* printer, bool allowSelection, bool* selection)>;
void setPrintChooser(PrintChooser chooser);

// The printer setup dialog.
void printSetup(QWidget* parent, QPrinter* printer);

} // namespace viewerprompts
