#pragma once

#include <QDialog>

class QPushButton;

// "How to contact us": the product, its version and where its makers can be reached.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    QPushButton* btWeb() const { return m_btWeb; }

private slots:
    void btWebClick();

private:
    QPushButton* m_btWeb;
};
