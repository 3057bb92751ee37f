#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

// The small waiting window of long operations: "Loading files ... standby" over a progress bar.
// A caller sets the bar's maximum, shows the window, moves the bar while it works (letting
// events through between steps) and hides it at the end.  Showing and hiding it clear the
// protected-folder lookup cache.
class TfrmStandBy : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStandBy(QWidget* parent = nullptr);

    // The one waiting window of the program, created at start-up.
    static TfrmStandBy* instance();

    QProgressBar* bar() const { return m_bar; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_label;
    QProgressBar* m_bar;
};
