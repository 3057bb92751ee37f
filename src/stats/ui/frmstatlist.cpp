// TfrmStatList, the file types the statistics count.  Its logic: stats/filetypes.h.

#include "stats/ui/frmstatlist.h"

#include "app/inifile.h"
#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"
#include "stats/filetypes.h"
#include "stats/ui/frmselectextension.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

// Entries sort by their text without regard to case ("*.doc" next to "*.DOC").
class EntryItem : public QListWidgetItem {
public:
    explicit EntryItem(const QString& text) : QListWidgetItem(text) {}
    bool operator<(const QListWidgetItem& other) const override {
        const int c = text().compare(other.text(), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : text() < other.text();
    }
};

QPushButton* button(QWidget* parent, const QString& name, const QString& text,
                    const QString& hint) {
    QPushButton* b = namedButton(parent, name, text, hint);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TfrmStatList::TfrmStatList(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmStatList"));
    setWindowTitle(QStringLiteral("File types"));
    setModal(true);

    auto* heading = new QLabel(QStringLiteral("File Types"), this);
    heading->setObjectName(QStringLiteral("lblTitle"));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSize(headingFont.pointSize() + 2);
    heading->setFont(headingFont);

    m_lblCount = new QLabel(this);
    m_lblCount->setObjectName(QStringLiteral("lblCount"));
    m_lblCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_pickList1 = new QListWidget(this);
    m_pickList1->setObjectName(QStringLiteral("PickList1"));
    m_pickList1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pickList1->setSortingEnabled(true);
    m_pickList1->setToolTip(QStringLiteral("List of temporary file extensions and types"));
    m_pickList1->setMinimumSize(320, 240);

    QPushButton* btAdd = button(this, "btAdd", QStringLiteral("&Add"),
                                QStringLiteral("Add a file extension to this list"));
    QPushButton* btDelete = button(this, "btDelete", QStringLiteral("&Delete"),
                                   QStringLiteral("Delete a file extension"));
    QPushButton* btClear = button(this, "btClear", QStringLiteral("&Clear all"),
                                  QStringLiteral("Clear all extensions"));
    QPushButton* btClose =
        button(this, "btClose", QStringLiteral("Close"), QStringLiteral("Close window"));

    auto* hint = new QLabel(
        QStringLiteral("Hint: Drag mouse or use ctrl-click to select multiple file types."), this);
    hint->setObjectName(QStringLiteral("lblHint"));
    hint->setWordWrap(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(heading, 0, 0);
    grid->addWidget(m_lblCount, 0, 0, Qt::AlignRight);
    grid->addWidget(m_pickList1, 1, 0);
    auto* buttons = new QVBoxLayout();
    buttons->addWidget(btAdd);
    buttons->addWidget(btDelete);
    buttons->addWidget(btClear);
    buttons->addStretch();
    buttons->addWidget(btClose);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(hint, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);

    connect(btAdd, &QPushButton::clicked, this, &TfrmStatList::btAddClick);
    connect(btDelete, &QPushButton::clicked, this, &TfrmStatList::btDeleteClick);
    connect(btClear, &QPushButton::clicked, this, &TfrmStatList::btClearClick);
    connect(btClose, &QPushButton::clicked, this, &TfrmStatList::btCloseClick);
}

void TfrmStatList::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmStatList::keyPressEvent(QKeyEvent* event) {
    // Esc is the Close button here (it stores the list), not the dialog's cancel.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        btCloseClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

QStringList TfrmStatList::entries() const {
    return itemTexts(m_pickList1);
}

void TfrmStatList::addEntry(const QString& entry) {
    if (m_pickList1->findItems(entry, Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty())
        m_pickList1->addItem(new EntryItem(entry));
}

void TfrmStatList::refreshCount() {
    m_lblCount->setText(QString::number(m_pickList1->count()) + QStringLiteral(" available"));
}

void TfrmStatList::FormShow() {
    m_pickList1->clear();
    const QStringList stored = ReadStatFilesFromDisk(section);
    for (const QString& entry : stored)
        m_pickList1->addItem(new EntryItem(entry));
    refreshCount();
}

void TfrmStatList::btAddClick() {
    TfrmSelectExtension picker(this);
    if (picker.exec() == QDialog::Accepted) {
        for (const QString& entry : picker.entriesToAdd())
            addEntry(entry);
    }
    refreshCount();
}

void TfrmStatList::btDeleteClick() {
    const QList<int> rows = selectedRows(m_pickList1);
    if (rows.isEmpty() || !askDeleteExtensions(int(rows.size())))
        return;
    for (int i = int(rows.size()) - 1; i >= 0; --i)
        delete m_pickList1->takeItem(rows[i]);
    refreshCount();
}

void TfrmStatList::btClearClick() {
    if (!askClearExtensions())
        return;
    m_pickList1->clear();
    refreshCount();
}

void TfrmStatList::btCloseClick() {
    if (!WriteStatFilesToDisk(entries(), section))
        msgbox::errorBox(QStringLiteral("Cannot save the list of file types in ") +
                         settingsFile().path());
    accept();
}
