// TfrmGetFolderName, the name of a new folder; no logic of its own.

#include "delete/ui/frmgetfoldername.h"

#include "app/ui/widgets.h"

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

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(m_edit1);
    layout->addLayout(okCancelRow(this, &m_btOK, &m_btCancel));
}

QString TfrmGetFolderName::folderName() const {
    return m_edit1->text();
}
