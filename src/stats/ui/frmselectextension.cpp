// TfrmSelectExtension, the choice of file types.  Its logic: stats/filetypes.h.

#include "stats/ui/frmselectextension.h"

#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"
#include "stats/filetypes.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

TfrmSelectExtension::TfrmSelectExtension(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmSelectExtension"));
    setWindowTitle(QStringLiteral("Select a file extension"));
    setModal(true);

    auto* prompt = new QLabel(
        QStringLiteral("Type in a new file extension or select one or many from the list below:"),
        this);
    prompt->setObjectName(QStringLiteral("lblPrompt"));
    prompt->setWordWrap(true);

    m_edit1 = new QLineEdit(this);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setMaxLength(6);
    m_edit1->setMaximumWidth(m_edit1->fontMetrics().horizontalAdvance(QStringLiteral("W")) * 9);
    prompt->setBuddy(m_edit1);

    m_lBox = new QListWidget(this);
    m_lBox->setObjectName(QStringLiteral("lBox"));
    m_lBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lBox->setToolTip(
        QStringLiteral("Double click to select, Ctrl-click to select more than one"));
    m_lBox->setMinimumSize(440, 260);

    // The patterns of the list in the same order, with the description of the chosen one.  They
    // stay behind the list and are never shown: the list carries the same information.
    m_cbWildCard = new QComboBox(this);
    m_cbWildCard->setObjectName(QStringLiteral("cbWildCard"));
    m_cbWildCard->hide();
    m_lblDescription = new QLabel(this);
    m_lblDescription->setObjectName(QStringLiteral("lblDescription"));
    m_lblDescription->hide();

    auto* hint = new QLabel(
        QStringLiteral("Hint: Drag mouse or use ctrl-click to select multiple file extensions."),
        this);
    hint->setObjectName(QStringLiteral("lblHint"));
    hint->setWordWrap(true);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_edit1);
    layout->addWidget(m_lBox, 1);
    layout->addWidget(hint);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &TfrmSelectExtension::BitBtn1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_lBox, &QListWidget::currentRowChanged, this, &TfrmSelectExtension::lBoxClick);
    connect(m_lBox, &QListWidget::itemClicked, this, &TfrmSelectExtension::lBoxClick);
    connect(m_lBox, &QListWidget::itemDoubleClicked, this, &TfrmSelectExtension::lBoxDblClick);
    connect(m_cbWildCard, &QComboBox::currentIndexChanged, this,
            &TfrmSelectExtension::cbWildCardChange);
}

void TfrmSelectExtension::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmSelectExtension::FormShow() {
    const QStringList patterns = listRegisteredExtensions(false);
    {
        const QSignalBlocker blockList(m_lBox);
        const QSignalBlocker blockPatterns(m_cbWildCard);
        m_lBox->clear();
        m_cbWildCard->clear();
        m_cbWildCard->addItems(patterns);
        QStringList entries;
        entries.reserve(patterns.size());
        for (const QString& p : patterns) {
            if (p != QLatin1String("*.*"))
                entries << p + QLatin1Char('\t') + fileTypeDescription(p.mid(1, 9));
        }
        m_lBox->addItems(entries);
    }
    cbWildCardChange();
    m_edit1->setText(patterns.value(0));
    m_edit1->selectAll();
    m_edit1->setFocus();
}

QStringList TfrmSelectExtension::selectedEntries() const {
    return selectedTexts(m_lBox);
}

QStringList TfrmSelectExtension::entriesToAdd() const {
    if (multi)
        return selectedEntries();
    if (pattern.isEmpty() || pattern == QLatin1String("*.*"))
        return {};
    return {pattern + QLatin1Char('\t') + description};
}

void TfrmSelectExtension::lBoxClick() {
    const int row = m_lBox->currentRow();
    if (row >= 0 && row < m_cbWildCard->count())
        m_edit1->setText(m_cbWildCard->itemText(row));
}

void TfrmSelectExtension::cbWildCardChange() {
    m_lblDescription->setText(fileTypeDescription(m_cbWildCard->currentText().mid(1)));
}

TfrmSelectExtension::Choice TfrmSelectExtension::takeChoice() {
    if (m_lBox->selectedItems().size() >= 2) {
        multi = true;
        return Choice::Several;
    }
    multi = false;
    pattern.clear();
    description.clear();
    const QString typed = patternFromTypedText(m_edit1->text());
    if (typed.isEmpty())
        return Choice::Nothing;
    pattern = typed;
    description = patternDescription(pattern);
    return Choice::One;
}

void TfrmSelectExtension::BitBtn1Click() {
    takeChoice();
    accept();
}

void TfrmSelectExtension::lBoxDblClick() {
    if (takeChoice() == Choice::One)
        accept();
}

bool askDeleteExtensions(int count) {
    return count <= 1 || msgbox::ask(QStringLiteral("Really delete ") + QString::number(count) +
                                         QStringLiteral(" extensions?"),
                                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                     QMessageBox::Yes) == QMessageBox::Yes;
}

bool askClearExtensions() {
    return msgbox::ask(QStringLiteral("Really clear out all extensions?"),
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                       QMessageBox::Yes) == QMessageBox::Yes;
}
