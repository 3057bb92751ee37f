// TfrmTempFiles, the temporary-file patterns.  Its logic: clean/temppatterns.h.

#include "clean/ui/frmtempfiles.h"

#include "app/inifile.h"
#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"
#include "clean/ui/patternlistbox.h"
#include "stats/ui/frmselectextension.h"

#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmTempFiles::TfrmTempFiles(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmTempFiles"));
    setWindowTitle(QStringLiteral("Temporary file extensions"));
    setModal(true);

    QLabel* heading =
        headingLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Temporary File Extensions"));
    QLabel* note = namedLabel(
        this, QStringLiteral("lblNote"),
        QStringLiteral("Some common temporary file extensions are .TMP, .TEMP, .$$$, .OLD and "
                       ".BAK.  It is your responsibility to ensure that you have selected the "
                       "proper extensions for file deletion."),
        true);
    QLabel* fts = namedLabel(
        this, QStringLiteral("lblFts"),
        QStringLiteral(".FTS files may deleted if you're really short of space.  They are "
                       "Windows help file searching add-ons.  They can be re-generated as "
                       "needed."),
        true);

    m_pickList1 = patternListBox(this, QStringLiteral("PickList1"),
                                 QStringLiteral("List of temporary file extensions and types"));
    m_pickList1->setFixedSize(300, 220);

    QPushButton* btAdd = namedButton(this, QStringLiteral("btAdd"), QStringLiteral("&Add"),
                                     QStringLiteral("Add a file extension to this list"));
    QPushButton* btDelete = namedButton(this, QStringLiteral("btDelete"), QStringLiteral("&Delete"),
                                        QStringLiteral("Delete a file extension"));
    QPushButton* btClear =
        namedButton(this, QStringLiteral("btClear"), QStringLiteral("&Clear all"),
                    QStringLiteral("Clear all extensions"));
    QPushButton* btDefaults =
        namedButton(this, QStringLiteral("btDefaults"), QStringLiteral("D&efaults"),
                    QStringLiteral("Inserts some default temporary file extensions"));
    QPushButton* btClose = namedButton(this, QStringLiteral("btClose"), QStringLiteral("Close"),
                                       QStringLiteral("Close window"));
    for (QPushButton* b : {btAdd, btDelete, btClear, btDefaults, btClose})
        b->setAutoDefault(false);

    auto* buttons = new QVBoxLayout();
    for (QPushButton* b : {btAdd, btDelete, btClear, btDefaults})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(btClose);

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize); // a dialog of fixed size
    grid->addWidget(heading, 0, 0, 1, 2);
    grid->addWidget(note, 1, 0, 1, 2);
    grid->addWidget(m_pickList1, 2, 0);
    grid->addLayout(buttons, 2, 1);
    grid->addWidget(fts, 3, 0, 1, 2);
    note->setFixedWidth(430);
    fts->setFixedWidth(430);

    connect(btAdd, &QPushButton::clicked, this, &TfrmTempFiles::btAddClick);
    connect(btDelete, &QPushButton::clicked, this, &TfrmTempFiles::btDeleteClick);
    connect(btClear, &QPushButton::clicked, this, &TfrmTempFiles::btClearClick);
    connect(btDefaults, &QPushButton::clicked, this, &TfrmTempFiles::btDefaultsClick);
    connect(btClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmTempFiles::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmTempFiles::FormShow() {
    m_list = tempfiles::readPatterns();
    showList();
}

void TfrmTempFiles::showList() {
    setPatternItems(m_pickList1, m_list.items());
}

void TfrmTempFiles::done(int result) {
    // Every close stores the list; there is no way to leave without saving.
    if (!tempfiles::writePatterns(m_list))
        msgbox::errorBox(QStringLiteral("Cannot save the list of temporary file extensions in ") +
                         settingsFile().path());
    QDialog::done(result);
}

void TfrmTempFiles::btAddClick() {
    TfrmSelectExtension picker(this);
    if (picker.exec() != QDialog::Accepted)
        return;
    for (const QString& entry : picker.entriesToAdd())
        m_list.add(entry);
    showList();
}

void TfrmTempFiles::btDeleteClick() {
    const QList<int> rows = selectedRows(m_pickList1);
    if (rows.isEmpty())
        return;
    if (!askDeleteExtensions(int(rows.size())))
        return;
    m_list.removeRows(rows);
    showList();
}

void TfrmTempFiles::btClearClick() {
    if (!askClearExtensions())
        return;
    m_list.clear();
    showList();
}

void TfrmTempFiles::btDefaultsClick() {
    m_list.addDefaults();
    showList();
}
