#pragma once

#include <QObject>
#include <QString>

class QComboBox;
class QLabel;
class QWidget;

// The file-name pattern box of a tool window: an editable drop-down list `cbWildCard` (first
// text "*.*", 14 items shown when dropped down) and, beside it, the label `lblWild` naming the
// type of the pattern.  Both are made as children of the parent and left for the window to lay
// out.  Each time the box is shown its items are read again from the registered extensions
// ("*.*" first) without changing its text.
class WildCardBox : public QObject {
    Q_OBJECT
public:
    // Without a label the box alone is made and the window reacts to patternChanged itself.
    explicit WildCardBox(QWidget* parent, bool withLabel = true);

    QComboBox* combo() const { return m_combo; }
    QLabel* label() const { return m_label; } // nullptr when made without one

    QString pattern() const;
    void setPattern(const QString& pattern);

    // Rebuilds the items: "*.*", then "*" + every registered extension of at most five
    // characters.  The text stays as it was; patternChanged is sent for it afterwards, so that
    // labels follow a registry that changed meanwhile.
    void refill();

    // What lblWild shows for a pattern: "All files" for "*.*", else the type description of
    // the pattern without its first character ("*.doc" gives the description of ".doc").
    static QString describe(const QString& pattern);

signals:
    // The text of the box changed (typed or picked), or the items were rebuilt.
    void patternChanged(const QString& pattern);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void textChanged(const QString& text);

    QComboBox* m_combo = nullptr;
    QLabel* m_label = nullptr;
};
