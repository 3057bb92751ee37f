#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

// The program's help: an HTML manual built into the program, shown in its own window.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the window at its first topic.
    void showFirstTopic();

    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

namespace helpwindow {

// The help window of the program, opened at its first topic.
void showHelp(QWidget* owner);

// Writes the manual as a page of the data folder, for the web browser; returns its path, empty
// when it could not be written.
QString writeManual();

} // namespace helpwindow
