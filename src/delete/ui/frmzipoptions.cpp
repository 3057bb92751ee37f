// TfrmZipOptions, the zip settings.  Its logic: app/zipsettings.h.

#include "delete/ui/frmzipoptions.h"

#include "app/inifile.h"
#include "app/shell.h"
#include "app/ui/folderbrowser.h"
#include "app/ui/widgets.h"
#include "app/zipsettings.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

TfrmZipOptions::TfrmZipOptions(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmZipOptions"));
    setWindowTitle(QStringLiteral("Archive Zip File Options"));
    setModal(true);

    m_edit1 = new QLineEdit(this);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setReadOnly(true);
    m_edit1->setMinimumWidth(320);

    m_speedButton1 = new QToolButton(this);
    m_speedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    m_speedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_speedButton1->setAccessibleName(QStringLiteral("Browse"));

    m_edit2 = new QLineEdit(this);
    m_edit2->setObjectName(QStringLiteral("Edit2"));
    m_edit2->setMaxLength(kMaxCommentLength);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(14, 12, 14, 12);
    grid->setVerticalSpacing(6);
    grid->addWidget(namedLabel(this, QStringLiteral("Label1"),
                               QStringLiteral("Store Zip Archive Files in this folder:")),
                    0, 0, 1, 2);
    grid->addWidget(m_edit1, 1, 0);
    grid->addWidget(m_speedButton1, 1, 1);
    grid->addWidget(namedLabel(this, QStringLiteral("Label4"),
                               QStringLiteral("Note: the zip folder can be on the network on a "
                                              "different machine!")),
                    2, 0, 1, 2);
    grid->setRowMinimumHeight(3, 8);
    grid->addWidget(namedLabel(this, QStringLiteral("Label2"),
                               QStringLiteral("Comment to be inserted into Archive Zip file:")),
                    4, 0, 1, 2);
    grid->addWidget(m_edit2, 5, 0, 1, 2);
    grid->addWidget(
        namedLabel(this, QStringLiteral("Label3"),
                   QStringLiteral("Note: Comments make it much easier to identify archive "
                                  "zip files later.")),
        6, 0, 1, 2);
    grid->setRowMinimumHeight(7, 8);
    grid->addLayout(okCancelRow(this, &m_btOK, &m_btCancel), 8, 0, 1, 2);

    setTabOrder(m_edit2, m_btOK);
    setTabOrder(m_btOK, m_btCancel);
    setTabOrder(m_btCancel, m_speedButton1);

    connect(m_speedButton1, &QToolButton::clicked, this, &TfrmZipOptions::SpeedButton1Click);
}

void TfrmZipOptions::showEvent(QShowEvent* event) {
    readSettings();
    QDialog::showEvent(event);
    m_edit2->setFocus();
}

void TfrmZipOptions::done(int result) {
    // A dialog that was never shown has nothing of the user's to keep.
    if (m_loaded)
        writeSettings();
    QDialog::done(result);
}

void TfrmZipOptions::readSettings() {
    // The default zip folder follows [ZipFile] Path, with the shell's default when it is missing.
    shell::getDefaultZipPath();
    m_edit1->setText(shell::defaultZipFolder());
    m_comment = readZipComment(settingsFile());
    m_edit2->setText(m_comment);
    m_loaded = true;
}

void TfrmZipOptions::writeSettings() {
    IniFile ini = settingsFile();
    writeZipPath(ini, m_edit1->text());
    writeZipComment(ini, m_edit2->text());
    shell::setDefaultZipFolder(m_edit1->text());
    m_comment = m_edit2->text();
}

void TfrmZipOptions::SpeedButton1Click() {
    const QString chosen = folderbrowser::browse(
        this, QStringLiteral("Location of archive zip files"), m_edit1->text());
    if (!chosen.isEmpty())
        m_edit1->setText(chosen);
}
