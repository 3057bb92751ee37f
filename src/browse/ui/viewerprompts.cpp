#include "browse/ui/viewerprompts.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace viewerprompts {

namespace {
InputBox g_inputBox;
FontChooser g_fontChooser;
FileChooser g_fileChooser;
PrintChooser g_printChooser;
} // namespace

TextAnswer inputBox(QWidget* parent, const QString& title, const QString& prompt,
                    const QString& value) {
    if (g_inputBox)
        return g_inputBox(title, prompt, value);
    TextAnswer answer;
    answer.text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, value, &answer.ok);
    return answer;
}

void setInputBox(InputBox box) {
    g_inputBox = std::move(box);
}

bool chooseFixedFont(QWidget* parent, QFont* font) {
    if (g_fontChooser)
        return g_fontChooser(font);
    bool ok = false;
    const QFont chosen =
        QFontDialog::getFont(&ok, *font, parent, QString(), QFontDialog::MonospacedFonts);
    if (ok)
        *font = chosen;
    return ok;
}

void setFontChooser(FontChooser chooser) {
    g_fontChooser = std::move(chooser);
}

QString openFileName(QWidget* parent) {
    if (g_fileChooser)
        return g_fileChooser();
    return QFileDialog::getOpenFileName(parent, QString(), QString(),
                                        QStringLiteral("All Files (*)"));
}

void setFileChooser(FileChooser chooser) {
    g_fileChooser = std::move(chooser);
}

bool printDialog(QWidget* parent, QPrinter* printer, bool allowSelection, bool* selection) {
    if (g_printChooser)
        return g_printChooser(printer, allowSelection, selection);
    QPrintDialog dialog(printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, allowSelection);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *selection = dialog.printRange() == QAbstractPrintDialog::Selection;
    return true;
}

void setPrintChooser(PrintChooser chooser) {
    g_printChooser = std::move(chooser);
}

void printSetup(QWidget* parent, QPrinter* printer) {
    QPageSetupDialog dialog(printer, parent);
    dialog.exec();
}

} // namespace viewerprompts
