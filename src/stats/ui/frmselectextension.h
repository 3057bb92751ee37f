#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The questions of the windows that edit a list of extensions (Yes, No and Cancel); true for
// Yes.  "Really delete N extensions?" is asked only for more than one.
bool askDeleteExtensions(int count);
bool askClearExtensions();

// "Select a file extension": the user types an extension or picks one or several registered
// ones.  After exec() returns Accepted the caller reads the results:
// - multi: two or more entries of the list were selected; they are selectedEntries();
// - otherwise pattern ("*.txt") and description, both empty when the typed text stands for
//   every file ("*", ".*" or "*.*"), in which case nothing is to be added.
// The list of registered extensions is read anew each time the window is shown.
class TfrmSelectExtension : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSelectExtension(QWidget* parent = nullptr);

    // Entries of the extension list ("*.txt", TAB, description) that are selected, in list
    // order.
    QStringList selectedEntries() const;
    // What a list of file types takes from the picker after OK: the selected entries when
    // several were chosen, else the pattern, TAB, description; nothing for an empty pattern or
    // "*.*".
    QStringList entriesToAdd() const;

    bool multi = false;
    QString pattern;
    QString description;

    void FormShow();
    // The clicked entry's pattern goes to the edit field.
    void lBoxClick();
    // The description label follows the pattern list.
    void cbWildCardChange();
    // OK: takes the selection or the typed text and ends with Accepted.
    void BitBtn1Click();
    // A double click on the list: as OK, but the window stays open unless one pattern was taken.
    void lBoxDblClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum class Choice { Several, Nothing, One };
    Choice takeChoice();

    QLineEdit* m_edit1;
    QListWidget* m_lBox;
    QComboBox* m_cbWildCard;
    QLabel* m_lblDescription;
};
