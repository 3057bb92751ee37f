// TfrmPassword, an archive's password; no logic of its own.

#include "delete/ui/frmpassword.h"

#include "app/ui/widgets.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* maskedEntry(QWidget* parent, const QString& name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    edit->setMinimumWidth(220);
    return edit;
}

} // namespace

TfrmPassword::TfrmPassword(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmPassword"));
    setWindowTitle(QStringLiteral("Enter Password"));
    setModal(true);

    m_edPassword = maskedEntry(this, QStringLiteral("edPassword"));
    m_edVerify = maskedEntry(this, QStringLiteral("edVerify"));
    auto* passwordLabel = new QLabel(QStringLiteral("&Password"), this);
    passwordLabel->setBuddy(m_edPassword);
    auto* verifyLabel = new QLabel(QStringLiteral("&Verify"), this);
    verifyLabel->setBuddy(m_edVerify);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    auto* form = new QFormLayout();
    form->addRow(passwordLabel, m_edPassword);
    form->addRow(verifyLabel, m_edVerify);
    layout->addLayout(form);
    layout->addLayout(okCancelRow(this, &m_btOK, &m_btCancel));

    connect(m_edPassword, &QLineEdit::textChanged, this, &TfrmPassword::passwordChanged);
    connect(m_edVerify, &QLineEdit::textChanged, this, &TfrmPassword::updateOK);
    updateOK();
}

QString TfrmPassword::password() const {
    return m_edPassword->text();
}

void TfrmPassword::showEvent(QShowEvent* event) {
    updateOK();
    QDialog::showEvent(event);
}

void TfrmPassword::passwordChanged() {
    m_edVerify->clear();
    updateOK();
}

void TfrmPassword::updateOK() {
    m_btOK->setEnabled(m_edPassword->text() == m_edVerify->text());
}
