// TfrmWhichDrive, the choice of drives and file types.  Its logic: scan/drivechoice.h and
// stats/filetypes.h.

#include "scan/ui/frmwhichdrive.h"

#include "app/ui/widgets.h"
#include "scan/drivechoice.h"
#include "stats/filetypes.h"
#include "stats/ui/frmstatlist.h"

#include <QAction>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

enum Page { DrivesPage = 0, ModePage = 1, TypesPage = 2 };

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    QPushButton* b = namedButton(parent, QString::fromLatin1(name), caption);
    b->setMinimumWidth(96);
    return b;
}

QLabel* makeHeading(QWidget* parent, const char* name, const QString& caption) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    QFont f = l->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    l->setFont(f);
    return l;
}

QListWidget* makePickList(QWidget* parent, const char* name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}

// The popup of a selection list: "Select All" and "Deselect All".  The list's selection signal
// then runs its click action.
void addSelectionPopup(QListWidget* list, const QString& suffix) {
    auto* selectAll = new QAction(QStringLiteral("Select All"), list);
    selectAll->setObjectName(QStringLiteral("SelectAll") + suffix);
    auto* deselectAll = new QAction(QStringLiteral("Deselect All"), list);
    deselectAll->setObjectName(QStringLiteral("DeselectAll") + suffix);
    QObject::connect(selectAll, &QAction::triggered, list, &QListWidget::selectAll);
    QObject::connect(deselectAll, &QAction::triggered, list, &QListWidget::clearSelection);
    list->addAction(selectAll);
    list->addAction(deselectAll);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
}

// One page of the wizard, filling the window.
QWidget* makePage(QStackedWidget* pages, const char* name) {
    auto* page = new QWidget(pages);
    page->setObjectName(QString::fromLatin1(name));
    pages->addWidget(page);
    return page;
}

} // namespace

TfrmWhichDrive::TfrmWhichDrive(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmWhichDrive"));
    setWindowTitle(QStringLiteral("Which drives and file types?"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_pages = new QStackedWidget(this);
    outer->addWidget(m_pages);

    // Page 1: the drives.
    QWidget* page1 = makePage(m_pages, "pnlDrives");
    auto* l1 = new QVBoxLayout(page1);
    l1->addWidget(makeHeading(page1, "lblDrives", QStringLiteral("Which drives?")));
    m_pckDrive = makePickList(page1, "pckDrive");
    addSelectionPopup(m_pckDrive, QStringLiteral("Drives"));
    l1->addWidget(m_pckDrive, 1);
    auto* row1 = new QHBoxLayout;
    row1->addStretch(1);
    m_btNext1 = makeButton(page1, "btNext1", QStringLiteral("&Next >>"));
    QPushButton* btCancel1 = makeButton(page1, "btCancel1", QStringLiteral("Cancel"));
    row1->addWidget(m_btNext1);
    row1->addWidget(btCancel1);
    l1->addLayout(row1);

    // Page 2: all files, selected types only, or all but the selected types.
    QWidget* page2 = makePage(m_pages, "pnlMode");
    auto* l2 = new QVBoxLayout(page2);
    l2->addWidget(makeHeading(page2, "lblTypes", QStringLiteral("Which file types?")));
    l2->addSpacing(12);
    m_rbAll = namedRadio(page2, QStringLiteral("rbAll"), QStringLiteral("&All files"));
    m_rbInclude =
        namedRadio(page2, QStringLiteral("rbInclude"), QStringLiteral("&Selected file types only"));
    m_rbExclude = namedRadio(page2, QStringLiteral("rbExclude"),
                             QStringLiteral("All files &except selected file types"));
    auto* group = new QButtonGroup(this);
    for (QRadioButton* rb : {m_rbAll, m_rbInclude, m_rbExclude}) {
        group->addButton(rb);
        l2->addWidget(rb);
    }
    m_rbAll->setChecked(true);
    l2->addStretch(1);
    auto* row2 = new QHBoxLayout;
    row2->addStretch(1);
    QPushButton* btPrior2 = makeButton(page2, "btPrior2", QStringLiteral("<< &Previous"));
    m_btNext2 = makeButton(page2, "btNext2", QStringLiteral("&Next >>"));
    row2->addWidget(btPrior2);
    row2->addWidget(m_btNext2);
    l2->addLayout(row2);

    // Page 3: the types of the stored list.
    QWidget* page3 = makePage(m_pages, "pnlSelect");
    auto* l3 = new QVBoxLayout(page3);
    auto* head3 = new QHBoxLayout;
    m_lblSelect = makeHeading(page3, "lblSelect", QString());
    m_lblOf = new QLabel(page3);
    m_lblOf->setObjectName(QStringLiteral("lblOf"));
    head3->addWidget(m_lblSelect, 1);
    head3->addWidget(m_lblOf);
    l3->addLayout(head3);
    m_pickList = makePickList(page3, "PickList1");
    addSelectionPopup(m_pickList, QStringLiteral("Types"));
    l3->addWidget(m_pickList, 1);
    auto* row3 = new QHBoxLayout;
    QPushButton* btEdit = makeButton(page3, "btEdit", QStringLiteral("&Add/Delete"));
    row3->addWidget(btEdit);
    row3->addStretch(1);
    QPushButton* btPrior3 = makeButton(page3, "btPrior3", QStringLiteral("<< &Previous"));
    m_btOK = makeButton(page3, "btOK", QStringLiteral("OK"));
    m_btOK->setEnabled(false);
    row3->addWidget(btPrior3);
    row3->addWidget(m_btOK);
    l3->addLayout(row3);

    connect(m_pckDrive, &QListWidget::itemSelectionChanged, this, &TfrmWhichDrive::pckDriveClick);
    connect(m_pickList, &QListWidget::itemSelectionChanged, this, &TfrmWhichDrive::PickList1Click);
    connect(m_btNext1, &QPushButton::clicked, this, &TfrmWhichDrive::btNext1Click);
    connect(btCancel1, &QPushButton::clicked, this, &TfrmWhichDrive::btCancel1Click);
    connect(btPrior2, &QPushButton::clicked, this, &TfrmWhichDrive::btPrior2Click);
    connect(m_btNext2, &QPushButton::clicked, this, &TfrmWhichDrive::btNext2Click);
    connect(btPrior3, &QPushButton::clicked, this, &TfrmWhichDrive::btPrior3Click);
    connect(btEdit, &QPushButton::clicked, this, &TfrmWhichDrive::btEditClick);
    connect(m_btOK, &QPushButton::clicked, this, &TfrmWhichDrive::btOKClick);

    m_btNext1->setEnabled(false);
    setFixedSize(400, 330);
}

QStringList TfrmWhichDrive::selectedDrives() const {
    return selectedTexts(m_pckDrive);
}

QStringList TfrmWhichDrive::selectedTypes() const {
    return selectedTexts(m_pickList);
}

int TfrmWhichDrive::currentPage() const {
    return m_pages->currentIndex();
}

void TfrmWhichDrive::showEvent(QShowEvent* event) {
    // A window brought back from the task bar keeps its choices.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TfrmWhichDrive::FormShow() {
    {
        const QSignalBlocker quiet(m_pckDrive);
        m_pckDrive->clear();
        m_pckDrive->addItems(drivechoice::offeredEntries(drivechoice::systemDriveEntries()));
        const QString current = drivechoice::currentDriveEntry();
        for (int i = 0; i < m_pckDrive->count(); ++i) {
            QListWidgetItem* item = m_pckDrive->item(i);
            if (!current.isEmpty() && item->text() == current) {
                item->setSelected(true);
                m_pckDrive->setCurrentItem(item, QItemSelectionModel::NoUpdate);
                m_pckDrive->scrollToItem(item);
            }
        }
    }
    pckDriveClick();
    readTypeList();
    showPage(DrivesPage);
}

void TfrmWhichDrive::pckDriveClick() {
    m_btNext1->setEnabled(!m_pckDrive->selectedItems().isEmpty());
}

void TfrmWhichDrive::PickList1Click() {
    const int types = int(m_pickList->selectedItems().size());
    m_btOK->setEnabled(types > 0 && !m_pckDrive->selectedItems().isEmpty());
    m_lblOf->setText(drivechoice::countText(types, m_pickList->count()));
}

void TfrmWhichDrive::btNext1Click() {
    showPage(ModePage);
}

void TfrmWhichDrive::btCancel1Click() {
    reject();
}

void TfrmWhichDrive::btPrior2Click() {
    showPage(DrivesPage);
}

void TfrmWhichDrive::btNext2Click() {
    if (m_rbAll->isChecked()) {
        copyFlags();
        accept();
        return;
    }
    readTypeList();
    showPage(TypesPage);
}

void TfrmWhichDrive::btPrior3Click() {
    showPage(ModePage);
}

void TfrmWhichDrive::btEditClick() {
    TfrmStatList editor(this);
    editor.section = typeSection();
    editor.exec();
    readTypeList();
}

void TfrmWhichDrive::btOKClick() {
    copyFlags();
    accept();
}

QString TfrmWhichDrive::typeSection() const {
    return m_rbInclude->isChecked() ? QStringLiteral("Include") : QStringLiteral("Exclude");
}

void TfrmWhichDrive::readTypeList() {
    m_lblSelect->setText(m_rbInclude->isChecked() ? QStringLiteral("Selected file types only")
                                                  : QStringLiteral("All file types except ..."));
    {
        const QSignalBlocker quiet(m_pickList);
        m_pickList->clear();
        m_pickList->addItems(ReadStatFilesFromDisk(typeSection()));
    }
    m_btOK->setEnabled(false);
    m_lblOf->setText(drivechoice::countText(0, m_pickList->count()));
}

void TfrmWhichDrive::showPage(int page) {
    m_pages->setCurrentIndex(page);
    // Enter moves on from the page in view.
    m_btNext1->setDefault(page == DrivesPage);
    m_btNext2->setDefault(page == ModePage);
    m_btOK->setDefault(page == TypesPage);
}

void TfrmWhichDrive::copyFlags() {
    m_all = m_rbAll->isChecked();
    m_include = m_rbInclude->isChecked();
    m_exclude = m_rbExclude->isChecked();
}
