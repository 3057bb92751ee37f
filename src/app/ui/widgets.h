#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QString>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QWidget;

// Small pieces the windows share.

// A push button carrying its name as objectName, with an optional hint.
QPushButton* namedButton(QWidget* parent, const QString& name, const QString& caption,
                         const QString& hint = QString());

// A radio button carrying its name as objectName.
QRadioButton* namedRadio(QWidget* parent, const QString& name, const QString& caption);

// A menu item added to the menu, carrying its name as objectName.
QAction* namedMenuItem(QMenu* menu, const QString& name, const QString& caption);

// A label carrying its name as objectName; wordWrap for notes of several lines.
QLabel* namedLabel(QWidget* parent, const QString& name, const QString& text,
                   bool wordWrap = false);

// The heading of a dialog: a label in bold, two points larger than the window's text.
QLabel* headingLabel(QWidget* parent, const QString& name, const QString& text);

// The red percentage gauge (0..100) that shows the progress of one file or archive; named
// Gauge1 as every window calls it.
QProgressBar* redGauge(QWidget* parent);

// The wait cursor for as long as it lives.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Lets pending events through at most every few milliseconds: often enough to keep a window
// painted (and, when asked, its Cancel or Abort button working), rarely enough to cost nothing
// per file of a long run.
class EventPump {
public:
    explicit EventPump(bool userInput);

    // True when the time has come to let events through (the caller refreshes what it shows
    // first, then calls run()).
    bool due() const { return !m_clock.isValid() || m_clock.elapsed() >= 30; }
    void run();

private:
    QEventLoop::ProcessEventsFlags m_flags;
    QElapsedTimer m_clock;
};
