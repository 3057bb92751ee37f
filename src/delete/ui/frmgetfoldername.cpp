#include "delete/ui/frmgetfoldername.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmGetFolderName::TfrmGetFolderName(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmGetFolderName"));
    setWindowTitle(QStringLiteral("New folder name"));
    setModal(true);

    m_edit1 = new QLineEdit(this);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setMinimumWidth(260);

    m_btOK = new QPushButton(QStringLiteral("OK"), this);
    m_btOK->setObjectName(QStringLiteral("btOK"));
    m_btOK->setDefault(true);
    m_btCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_btCancel->setObjectName(QStringLiteral("btCancel"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(m_edit1);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(m_btOK);
    buttons->addWidget(m_btCancel);
    layout->addLayout(buttons);

    connect(m_btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_btCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TfrmGetFolderName::folderName() const {
    return m_edit1->text();
}
