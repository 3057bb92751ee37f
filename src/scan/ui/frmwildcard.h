#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class WildCardBox;

// "Wildcard pattern": changes the browser's file-name pattern.  The caller sets the pattern
// before exec() and reads it after Accepted (OK); Cancel ends with Rejected.
class TfrmWildCard : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWildCard(QWidget* parent = nullptr);

    QString pattern() const;
    void setPattern(const QString& pattern);

private:
    // Shows the labels for the box's text (on show and on every change of the box).
    void cbWildCardChange(const QString& text);

    WildCardBox* m_box = nullptr;
    QLabel* m_lblWild = nullptr;
    QLabel* m_lblType = nullptr;
};
