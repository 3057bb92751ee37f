#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;

// The viewer's find dialog ("Find"): one for the whole run, made at start-up and handed to every
// viewer, so that the text and the options outlive the viewers.
class TfrmFind : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFind(QWidget* parent = nullptr);

    QString searchText() const;
    bool backward() const;
    bool matchCase() const;
    bool global() const;

    // For callers that set the options without showing the dialog.
    void setOptions(const QString& text, bool backward, bool matchCase, bool global);

private:
    QLineEdit* m_text = nullptr;
    QRadioButton* m_forward = nullptr;
    QRadioButton* m_backward = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QCheckBox* m_global = nullptr;
};
